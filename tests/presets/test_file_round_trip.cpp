// A scene file this program writes, it loads: for any unit memory the read-back takes, the "*.SCE"
// saved from the mirror and the "*.ALL" saved from the nine stored scenes pass the load check, and
// the way through the unit and back saves the same bytes again.
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "model/scene_image.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <vector>

using namespace tarn;
using namespace tarn::test;

namespace {

constexpr int kImages = 300;
constexpr quint32 kSeed = 20261211;

QByteArray bytesOf(const uint8_t* data, int size) {
    return QByteArray(reinterpret_cast<const char*>(data), size);
}

QString describe(const SceneFileVerdict& v) {
    return QStringLiteral("check %1, %2 = %3 at byte %4 of scene %5")
        .arg(int(v.check))
        .arg(QString::fromLatin1(Field_Name(v.violation.field)))
        .arg(v.violation.value)
        .arg(v.violation.offset)
        .arg(v.violation.scene);
}

ParamImage::Bytes factoryMemory() {
    const sim::Memory m = sim::Unit::factoryImage();
    ParamImage::Bytes image{};
    std::copy(m.begin(), m.begin() + kImageSize, image.begin());
    return image;
}

// Unit memory as a read-back may find it: noise, or a tuned image with a few bytes of its 55
// blocks changed to anything (one field out of its limits at a time is the usual way it goes
// wrong). The rest of the image is what the mirror may hold there after an earlier load.
ParamImage::Bytes randomMemory(QRandomGenerator& rng) {
    ParamImage::Bytes image = factoryMemory();
    if (rng.bounded(2) == 0) {
        for (auto& b : image)
            b = uint8_t(rng.bounded(256));
        return image;
    }
    const int changes = 1 + rng.bounded(6);
    for (int i = 0; i < changes; ++i)
        image[size_t(rng.bounded(kReadbackSize))] = uint8_t(rng.bounded(256));
    return image;
}

// The read-back: the unit's 55 blocks over the mirror, then the validity rules.
void readBack(ParamImage& mirror, const uint8_t* unitMemory) {
    std::copy(unitMemory, unitMemory + kReadbackSize, mirror.bytes().begin());
    PcState pc;
    Apply_Validity_Rules(mirror, pc);
}

// The nine stored scenes as the download leaves them: each scene's 55 blocks, zeros past them.
std::vector<uint8_t> download(const std::vector<uint8_t>& unitScenes) {
    std::vector<uint8_t> scenes(size_t(kAllFileSize), 0);
    for (int s = 0; s < kStoredScenes; ++s)
        std::copy_n(unitScenes.begin() + s * kImageSize, kReadbackSize,
                    scenes.begin() + s * kImageSize);
    return scenes;
}

std::vector<uint8_t> saveAll(const std::vector<uint8_t>& unitScenes) {
    std::vector<uint8_t> file = download(unitScenes);
    Limit_Stored_Scenes(file.data());
    return file;
}

enum class Entry { SaveOne = 1, LoadOne = 2 };

void trigger(WindowFixture& f, Entry e) {
    f.window().menus.sceneEntry[size_t(e)]->trigger();
    f.finish();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFileRoundTrip : public QObject {
    Q_OBJECT

    FreshFolder dir_;

  private slots:
    void init() { QVERIFY(dir_.renew()); }

    // Load after save gives back the mirror, and the read-back after the load saves the same
    // file again.
    void sceneFileRoundTrip() {
        QRandomGenerator rng(kSeed);
        for (int i = 0; i < kImages; ++i) {
            const ParamImage::Bytes unit = randomMemory(rng);
            ParamImage mirror;
            mirror.bytes() = unit;
            readBack(mirror, unit.data());
            const ParamImage::Bytes file = Scene_File_From_Mirror(mirror);
            const SceneFileVerdict v = Check_Scene_File(file.data(), file.size());
            QVERIFY2(v.check == SceneFileCheck::Ok,
                     qPrintable(QStringLiteral("image %1: %2").arg(i).arg(describe(v))));

            ParamImage loaded;
            loaded.bytes() = Mirror_From_Scene_File(file);
            QVERIFY(loaded.bytes() == mirror.bytes());
            readBack(loaded, file.data()); // the unit now holds the file's blocks
            QVERIFY2(Scene_File_From_Mirror(loaded) == file, qPrintable(QString::number(i)));
        }
    }

    // The load sends each scene's blocks 0..55; saving the scenes again reads 0..54 back.
    // (The random scenes hold gains beyond +-12 dB, as an earlier version stored them.)
    void allScenesFileRoundTrip() {
        QRandomGenerator rng(kSeed + 1);
        for (int i = 0; i < kImages / 3; ++i) {
            std::vector<uint8_t> unitScenes(static_cast<size_t>(kAllFileSize));
            for (int s = 0; s < kStoredScenes; ++s) {
                ParamImage::Bytes scene = randomMemory(rng);
                if (rng.bounded(9) == 0) std::fill_n(scene.begin(), kReadbackSize, uint8_t(0xFF));
                std::copy(scene.begin(), scene.end(), unitScenes.begin() + s * kImageSize);
            }
            std::vector<uint8_t> file = saveAll(unitScenes);
            // The load limits gains an earlier version stored, as the unit would otherwise make
            // them flat; the rest of the file goes out as saved.
            Limit_Old_Gains_In_File(file.data(), file.size(), true);
            const SceneFileVerdict v = Check_All_File(file.data(), file.size());
            QVERIFY2(v.check == SceneFileCheck::Ok,
                     qPrintable(QStringLiteral("set %1: %2").arg(i).arg(describe(v))));

            std::vector<uint8_t> unitAfterLoad = unitScenes;
            for (int s = 0; s < kStoredScenes; ++s)
                std::copy_n(file.begin() + s * kImageSize, kStoredSceneUploadBlocks * kBlockSize,
                            unitAfterLoad.begin() + s * kImageSize);
            QVERIFY2(saveAll(unitAfterLoad) == file, qPrintable(QString::number(i)));
        }
    }

    void valuesWithoutLimitOnTheUnit_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("unit");  // what the unit holds there
        QTest::addColumn<QByteArray>("saved"); // what both files hold there
        // One byte off a tuned unit is enough for the load to refuse the saved file.
        QTest::newRow("CH1 band 1 Q 0") << 824 << hex("00") << hex("1e");
        QTest::newRow("CH6 band 31 Q 10.1") << 1009 << hex("65") << hex("1e");
        QTest::newRow("CH2 band 3 at 0 Hz") << 80 + 2 * 33 << hex("0000") << hex("2000");
        QTest::newRow("CH1 band 31 at 20001 Hz") << 140 << hex("214e") << hex("204e");
        QTest::newRow("master volume 601") << 24 << hex("5902") << hex("5802");
        QTest::newRow("noise gate 7") << 68 << hex("0700") << hex("0000");
        QTest::newRow("CH3 EQ bypass 2") << 64 << hex("02") << hex("01");
        QTest::newRow("CH2 high-pass off 2") << 1035 << hex("02") << hex("01");
        QTest::newRow("CH5 low-pass off 255") << 1068 << hex("ff") << hex("01");
        // A role is the PC's label for the channel; an unknown one is kept as the unit has it.
        QTest::newRow("CH6 role 21") << 9 << hex("15") << hex("15");
        QTest::newRow("CH1 role 255") << 4 << hex("ff") << hex("ff");
    }
    // The smallest cases of the property: a unit holding a value that its read-back took as it
    // was. The value saved is in the unit's range, and the file loads.
    void valuesWithoutLimitOnTheUnit() {
        QFETCH(int, offset);
        QFETCH(QByteArray, unit);
        QFETCH(QByteArray, saved);
        ParamImage::Bytes memory = factoryMemory();
        std::copy(unit.begin(), unit.end(), memory.begin() + offset);

        ParamImage mirror;
        readBack(mirror, memory.data());
        const ParamImage::Bytes scene = Scene_File_From_Mirror(mirror);
        QCOMPARE(bytesOf(scene.data() + offset, saved.size()), saved);
        QCOMPARE(Check_Scene_File(scene.data(), scene.size()).check, SceneFileCheck::Ok);

        std::vector<uint8_t> unitScenes(static_cast<size_t>(kAllFileSize));
        for (int s = 0; s < kStoredScenes; ++s)
            std::copy(memory.begin(), memory.end(), unitScenes.begin() + s * kImageSize);
        const std::vector<uint8_t> all = saveAll(unitScenes);
        QCOMPARE(bytesOf(all.data() + 4 * kImageSize + offset, saved.size()), saved);
        QCOMPARE(Check_All_File(all.data(), all.size()).check, SceneFileCheck::Ok);
    }

    // The same through the window and the simulated unit: saved, loaded back into the unit, read
    // back and saved again, byte for byte.
    void windowSavesWhatItLoads() {
        WindowFixture f;
        sim::unit().memory()[size_t(off::EQ_Q)] = 0; // CH1 band 1 Q 0
        QVERIFY(f.connect());
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(dir_.path("first.SCE"));
        trigger(f, Entry::SaveOne);
        const QByteArray first = readFile(dir_.path("first.SCE"));
        QCOMPARE(first.size(), kSceneFileSize);
        QCOMPARE(first.mid(off::EQ_Q, 1), hex("1e"));

        dialogs.choose(dir_.path("first.SCE"));
        trigger(f, Entry::LoadOne);
        QCOMPARE(texts(boxes), QStringList{"单个场景加载完成，确定后系统将自动同步数据"});
        QCOMPARE(int(sim::unit().memory()[size_t(off::EQ_Q)]), 30);
        f.ticks(20);
        QVERIFY(f.connect());

        dialogs.choose(dir_.path("second.SCE"));
        trigger(f, Entry::SaveOne);
        QCOMPARE(readFile(dir_.path("second.SCE")), first);
    }

    // A master volume the unit reports on its own reaches the mirror outside any read-back; it is
    // limited the same way, so a scene saved after it still loads.
    void reportedMasterVolumeSavedWithinRange() {
        WindowFixture f;
        QVERIFY(f.connect());
        sim::unit().queueUnsolicited(0x0D, {0x59, 0x02}); // 601
        f.ticks(800);                                     // two keep-alive reads
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(dir_.path("after.SCE"));
        trigger(f, Entry::SaveOne);
        const QByteArray file = readFile(dir_.path("after.SCE"));
        QCOMPARE(file.mid(off::Total_Vol, 2), hex("5802"));
        QCOMPARE(Check_Scene_File(reinterpret_cast<const uint8_t*>(file.constData()),
                                  size_t(file.size()))
                     .check,
                 SceneFileCheck::Ok);
    }
};

QTEST_MAIN(TestFileRoundTrip)
#include "test_file_round_trip.moc"
