// A command sink that keeps each payload the editing core hands it, as hex, for a session without
// the link.
#pragma once

#include "session/edit_core.h"

#include <QByteArray>
#include <QStringList>

namespace tarn::test {

class RecordingSink : public CommandSink {
  public:
    void send(const Payload& p) override {
        sent << QString::fromLatin1(
            QByteArray(reinterpret_cast<const char*>(p.bytes.data()), p.size).toHex());
    }
    // The payloads since the last call, oldest first.
    QStringList take() {
        QStringList out;
        out.swap(sent);
        return out;
    }
    QStringList sent;
};

} // namespace tarn::test
