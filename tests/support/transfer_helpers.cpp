#include "tests/support/transfer_helpers.h"

#include "sim/unit_sim.h"

#include <QFile>
#include <QProgressBar>
#include <QtTest>
#include <algorithm>
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

QByteArray allScenesFile() {
    QByteArray file;
    for (int s = 1; s <= 9; ++s) {
        sim::Memory scene = sim::Unit::factoryImage();
        std::fill(scene.begin() + 1100, scene.end(), 0);
        if (s == 7) {
            std::fill(scene.begin(), scene.begin() + 1100, 0xFF);
        } else {
            const int volume = 60 * s;
            scene[sim::off::ChVol] = uint8_t(volume & 0xFF);
            scene[sim::off::ChVol + 1] = uint8_t(volume >> 8);
            const int gain = 240 + 10 * s; // the unit's encoding
            scene[sim::off::eqGain(1, s)] = uint8_t(gain & 0xFF);
            scene[sim::off::eqGain(1, s) + 1] = uint8_t(gain >> 8);
        }
        file.append(reinterpret_cast<const char*>(scene.data()), int(scene.size()));
    }
    return file;
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
