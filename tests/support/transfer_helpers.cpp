#include "tests/support/transfer_helpers.h"

#include <QFile>
#include <QProgressBar>
#include <QtTest>
#include <memory>

namespace tarn::test {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

QStringList texts(const ModalAnswerer& boxes) {
    QStringList out;
    for (const SeenBox& b : boxes.seen())
        out << b.text;
    return out;
}

void whenProgress(WindowFixture& f, QObject* context, int value, std::function<void()> action) {
    auto fired = std::make_shared<bool>(false);
    QObject::connect(f.ui().TickBar, &QProgressBar::valueChanged, context,
                     [fired, value, action](int v) {
                         if (*fired || v < value) return;
                         *fired = true;
                         action();
                     });
}

} // namespace tarn::test
