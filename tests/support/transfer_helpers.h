// Helpers shared by the file-transfer tests.
#pragma once

#include "tests/support/modal_answerer.h"
#include "tests/support/window_fixture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarn::test {

// Writes bytes to a new file at path (the test fails if it cannot).
void writeFile(const QString& path, const QByteArray& bytes);
// The texts of the boxes the answerer has seen, in order.
QStringList texts(const ModalAnswerer& boxes);
// Nine scenes as this program writes them, each one a valid unit image of its own (scene s has
// CH1 volume 60 * s and CH2 band s at +s dB) with bytes 1100..4095 zero, and place 7 erased (0xFF
// throughout its 55 blocks).
QByteArray allScenesFile();
// Runs action once, the first time the progress bar reaches value or more.
void whenProgress(WindowFixture& f, QObject* context, int value, std::function<void()> action);

} // namespace tarn::test
