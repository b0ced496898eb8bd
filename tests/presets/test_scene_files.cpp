// Scene files: the file formats and their checks (tables), the answers read straight from the
// reports, and the four scene-menu entries on the real window against the simulated unit: the
// files written, the blocks sent, recovery from lost answers, a unit that stops answering, and the
// files refused before anything is sent. The all-scenes load, with its one-second pauses, is in
// test_transfers_slow.cpp.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/frame.h"
#include "link/link_machine.h"
#include "link/transfer_job.h"
#include "model/param_image.h"
#include "session/history_recorder.h"
#include "session/scene_file_format.h"
#include "sim/unit_sim.h"
#include "tests/support/file_dialog_answerer.h"
#include "tests/support/fresh_folder.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/save_faults.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions.h"
#include "views/scene_actions_transfer.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace tarn;
using namespace tarn::test;

Q_DECLARE_METATYPE(tarn::SceneFileCheck)
Q_DECLARE_METATYPE(sim::Fault)

namespace {

constexpr char kConnectFirstZh[] = "请先联机！";

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray bytesOf(const ParamImage::Bytes& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()));
}

void putU16(QByteArray& data, int at, int value) {
    data[at] = char(value & 0xFF);
    data[at + 1] = char((value >> 8) & 0xFF);
}

int u16At(const QByteArray& data, int at) {
    return uint8_t(data[at]) | (uint8_t(data[at + 1]) << 8);
}

int gainOffset(int ch, int band) {
    return off::EQ_Gain + 2 * (ch * kBands + band);
}

// A one-scene file as the unit's own memory would give it (gains in the unit's encoding), with a
// few fields changed and the bytes the PC does not interpret filled in.
QByteArray sceneFileFixture() {
    const sim::Memory unitImage = sim::Unit::factoryImage();
    QByteArray file(reinterpret_cast<const char*>(unitImage.data()), int(unitImage.size()));
    file[0] = char(0x11);                 // firmware version: the unit keeps its own
    putU16(file, gainOffset(0, 0), 120);  // -12.0 dB, the lowest the unit keeps
    putU16(file, gainOffset(2, 5), 360);  // +12.0 dB
    putU16(file, gainOffset(5, 30), 359); // +11.9 dB
    putU16(file, off::HPF_Freq + 2, 80);
    putU16(file, off::CH_Vol + 6, 300);
    for (int i = 11; i < 24; ++i)
        file[i] = char(0xA5); // reserved
    for (int i = 1076; i < kImageSize; ++i)
        file[i] = char((i * 13) & 0xFF); // past the unit's blocks: carried, never sent past 1099
    return file;
}

// The 05 41 payload of block k of an image.
QByteArray imageBlock(const QByteArray& image, int k) {
    return hex("0541") + QByteArray(1, char(k)) + image.mid(k * kBlockSize, kBlockSize);
}

// Records every value the progress bar takes.
void progressOf(WindowFixture& f, QObject* context, std::vector<int>& out) {
    QObject::connect(f.ui().TickBar, &QProgressBar::valueChanged, context,
                     [&out](int v) { out.push_back(v); });
}

// Runs action once, the first time the progress bar reaches value (the read-back after a transfer
// moves the bar too).
// One input report with the frame at byte 1, as the unit sends it.
QByteArray unitReport(const QByteArray& payload, uint8_t seq = 7) {
    QByteArray r(32, '\0');
    r[0] = char(0x20);
    r[1] = char(0xFA);
    r[2] = char(0x2A);
    r[3] = char(seq);
    r[4] = char(payload.size());
    uint8_t sum = uint8_t(0xFA + 0x2A + seq + payload.size());
    for (int i = 0; i < payload.size(); ++i) {
        r[5 + i] = payload[i];
        sum = uint8_t(sum + uint8_t(payload[i]));
    }
    r[5 + payload.size()] = char(sum);
    r[6 + payload.size()] = char(0xF5);
    return r;
}

enum class Entry { SaveOne = 1, LoadOne = 2, SaveAll = 3, LoadAll = 4 };

void trigger(WindowFixture& f, Entry e) {
    f.window().menus.sceneEntry[size_t(e)]->trigger();
    f.finish();
}

// A distinct scene in each stored place (its own volumes and its own bytes in the places the PC
// does not interpret), and one erased place, in the unit.
void fillUnitScenes() {
    for (int s = 1; s <= 9; ++s) {
        sim::Scene& scene = sim::unit().scene(s);
        scene.image = sim::Unit::factoryImage();
        for (int i = 11; i < 24; ++i)
            scene.image[size_t(i)] = uint8_t(s * 31 + i * 7);
        for (int i = 1076; i < kImageSize; ++i)
            scene.image[size_t(i)] = uint8_t(s * 31 + i * 7);
        scene.image[size_t(off::CH_Vol)] = uint8_t((60 * s) & 0xFF);
        scene.image[size_t(off::CH_Vol + 1)] = uint8_t((60 * s) >> 8);
        scene.used = true;
    }
    sim::unit().scene(4).image.fill(0xFF); // an erased place is kept as it is
}

} // namespace

class TestSceneFiles : public QObject {
    Q_OBJECT

    FreshFolder dir_;
    QString path(const char* name) const { return dir_.path(name); }

  private slots:
    void init() { QVERIFY(dir_.renew()); }

    // ---- formats ----

    void fileGainEncoding_data() {
        QTest::addColumn<int>("pcGain");
        QTest::addColumn<QByteArray>("fileBytes");
        QTest::newRow("flat") << 120 << hex("f000");
        QTest::newRow("slider lowest") << 0 << hex("7800");
        QTest::newRow("slider highest") << 240 << hex("6801");
        QTest::newRow("typed -20.0 dB") << -80 << hex("2800");
        QTest::newRow("typed +20.0 dB") << 320 << hex("b801");
    }
    // Only the gains change between mirror and file, and the way back gives the mirror again.
    void fileGainEncoding() {
        QFETCH(int, pcGain);
        QFETCH(QByteArray, fileBytes);
        ParamImage mirror;
        for (int i = 0; i < kImageSize; ++i)
            mirror.bytes()[size_t(i)] = uint8_t(i * 29 + 3);
        mirror.set_EQ_Gain(3, 17, uint16_t(pcGain));
        const ParamImage::Bytes file = Scene_File_From_Mirror(mirror);
        const QByteArray fileData = bytesOf(file);
        QCOMPARE(fileData.mid(gainOffset(3, 17), 2), fileBytes);
        for (int i = 0; i < kImageSize; ++i) {
            const bool gain = i >= off::EQ_Gain && i < off::EQ_Gain + 2 * kChannels * kBands;
            if (!gain) QCOMPARE(file[size_t(i)], mirror.bytes()[size_t(i)]);
        }
        QVERIFY(Mirror_From_Scene_File(file) == mirror.bytes());
    }

    void sceneFileCheck_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("gain"); // written to CH6 band 31, or -1 to leave the fixture's
        QTest::addColumn<SceneFileCheck>("single");
        QTest::addColumn<SceneFileCheck>("all");
        const auto ok = SceneFileCheck::Ok;
        const auto size = SceneFileCheck::WrongSize;
        QTest::newRow("scene file") << 4096 << -1 << ok << SceneFileCheck::IsSingleScene;
        QTest::newRow("lowest gain") << 4096 << 120 << ok << SceneFileCheck::IsSingleScene;
        QTest::newRow("highest gain") << 4096 << 360 << ok << SceneFileCheck::IsSingleScene;
        QTest::newRow("gain below")
            << 4096 << 119 << SceneFileCheck::FieldOutOfRange << SceneFileCheck::IsSingleScene;
        QTest::newRow("gain above")
            << 4096 << 361 << SceneFileCheck::FieldOutOfRange << SceneFileCheck::IsSingleScene;
        QTest::newRow("empty") << 0 << -1 << size << size;
        QTest::newRow("one byte short") << 4095 << -1 << size << size;
        QTest::newRow("one byte long") << 4097 << -1 << size << size;
        QTest::newRow("all-scenes file") << 36864 << -1 << SceneFileCheck::IsAllScenes << ok;
        QTest::newRow("all, one short") << 36863 << -1 << size << size;
        QTest::newRow("all, one long") << 36865 << -1 << size << size;
    }
    void sceneFileCheck() {
        QFETCH(int, size);
        QFETCH(int, gain);
        QFETCH(SceneFileCheck, single);
        QFETCH(SceneFileCheck, all);
        QByteArray data = size > 4096 ? allScenesFile() : sceneFileFixture();
        if (gain >= 0) putU16(data, gainOffset(5, 30), gain);
        data.resize(size);
        QCOMPARE(Check_Scene_File(data).check, single);
        QCOMPARE(Check_All_File(data).check, all);
    }

    void fieldLimits_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("field"); // empty: accepted
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("band");
        const QString ok;
        QTest::newRow("CH6 role OFF") << 9 << 1 << 20 << ok << -1 << -1;
        QTest::newRow("CH6 role 21, kept as the unit had it") << 9 << 1 << 21 << ok << -1 << -1;
        QTest::newRow("optical input") << 10 << 1 << 2 << ok << -1 << -1;
        QTest::newRow("input 3") << 10 << 1 << 3 << "Input_Source" << -1 << -1;
        QTest::newRow("master volume 601") << 24 << 2 << 601 << "Total_Vol" << -1 << -1;
        QTest::newRow("CH4 volume 600") << 32 << 2 << 600 << ok << -1 << -1;
        QTest::newRow("CH4 volume 601") << 32 << 2 << 601 << "CH_Vol" << 3 << -1;
        QTest::newRow("CH4 volume 65535") << 32 << 2 << 65535 << "CH_Vol" << 3 << -1;
        QTest::newRow("CH2 mute 2") << 39 << 1 << 2 << "CH_Mute" << 1 << -1;
        QTest::newRow("CH6 delay 1500") << 54 << 2 << 1500 << ok << -1 << -1;
        QTest::newRow("CH6 delay 1501") << 54 << 2 << 1501 << "CH_Delay" << 5 << -1;
        QTest::newRow("CH1 phase 2") << 56 << 1 << 2 << "CH_Phase" << 0 << -1;
        QTest::newRow("CH3 bypass 2") << 64 << 1 << 2 << "EQ_Bypass" << 2 << -1;
        QTest::newRow("noise gate 6") << 68 << 2 << 6 << ok << -1 << -1;
        QTest::newRow("noise gate 7") << 68 << 2 << 7 << "NoiseGate" << -1 << -1;
        QTest::newRow("CH2 band 31 at 20000 Hz") << 202 << 2 << 20000 << ok << -1 << -1;
        QTest::newRow("CH2 band 31 at 20001 Hz") << 202 << 2 << 20001 << "EQ_Freq" << 1 << 30;
        QTest::newRow("CH2 band 31 at 19 Hz") << 202 << 2 << 19 << "EQ_Freq" << 1 << 30;
        QTest::newRow("CH6 band 31 gain 119") << 822 << 2 << 119 << "EQ_Gain" << 5 << 30;
        QTest::newRow("CH1 band 1 Q 0.4") << 824 << 1 << 4 << ok << -1 << -1;
        QTest::newRow("CH1 band 1 Q 0.3") << 824 << 1 << 3 << "EQ_Q" << 0 << 0;
        QTest::newRow("CH6 band 31 Q 10.1") << 1009 << 1 << 101 << "EQ_Q" << 5 << 30;
        QTest::newRow("CH5 high-pass 19 Hz") << 1024 << 2 << 19 << "HPF_Freq" << 4 << -1;
        QTest::newRow("CH1 high-pass slope 8") << 1028 << 1 << 8 << "HPF_Slope" << 0 << -1;
        QTest::newRow("CH2 high-pass off 2") << 1035 << 1 << 2 << "HPF_Off" << 1 << -1;
        QTest::newRow("CH3 high-pass type 3") << 1042 << 1 << 3 << "HPF_Type" << 2 << -1;
        QTest::newRow("CH6 low-pass 20001 Hz") << 1056 << 2 << 20001 << "LPF_Freq" << 5 << -1;
        QTest::newRow("CH4 low-pass slope 7") << 1061 << 1 << 7 << ok << -1 << -1;
        QTest::newRow("CH4 low-pass slope 8") << 1061 << 1 << 8 << "LPF_Slope" << 3 << -1;
        QTest::newRow("CH5 low-pass off 2") << 1068 << 1 << 2 << "LPF_Off" << 4 << -1;
        QTest::newRow("CH6 low-pass type 3") << 1075 << 1 << 3 << "LPF_Type" << 5 << -1;
        QTest::newRow("firmware version") << 0 << 2 << 65535 << ok << -1 << -1;
        QTest::newRow("reserved byte 79") << 79 << 1 << 255 << ok << -1 << -1;
        QTest::newRow("reserved byte 1099") << 1099 << 1 << 255 << ok << -1 << -1;
    }
    // Every field the PC interprets is held to the editors' limits, at the channel and band given;
    // the bytes it does not interpret are carried as they are.
    void fieldLimits() {
        QFETCH(int, offset);
        QFETCH(int, width);
        QFETCH(int, value);
        QFETCH(QString, field);
        QFETCH(int, channel);
        QFETCH(int, band);
        QByteArray data = sceneFileFixture();
        if (width == 1)
            data[offset] = char(value);
        else
            putU16(data, offset, value);
        const SceneFileVerdict v = Check_Scene_File(data);
        QCOMPARE(QString::fromLatin1(Field_Name(v.violation.field)), field);
        QCOMPARE(v.check, field.isEmpty() ? SceneFileCheck::Ok : SceneFileCheck::FieldOutOfRange);
        if (field.isEmpty()) return;
        QCOMPARE(v.violation.channel, channel);
        QCOMPARE(v.violation.band, band);
        QCOMPARE(v.violation.value, value);
        QCOMPARE(v.violation.offset, offset);
        QCOMPARE(v.violation.scene, 0);
    }

    void allFileCheck_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("field"); // empty: accepted
        QTest::addColumn<int>("scene");
        QTest::addColumn<int>("offset");
        const QByteArray good = allScenesFile();
        QTest::newRow("nine scenes, one place erased") << good << QString() << 0 << 0;
        QByteArray bad = good;
        bad[2 * 4096 + 44 + 2] = char(0xDD); // scene 3, CH2 delay 0x05DD = 1501
        bad[2 * 4096 + 44 + 3] = char(0x05);
        QTest::newRow("scene 3, CH2 delay 1501") << bad << "CH_Delay" << 3 << 46;
        bad = good;
        bad[6 * 4096 + 500] = char(0xFE); // inside the erased place
        QTest::newRow("erased place with one byte changed") << bad << "Input_Source" << 7 << 10;
        bad = good;
        bad[8 * 4096 + 1100] = char(1); // carried by the closing block 55
        QTest::newRow("scene 9, byte 1100") << bad << "reserved" << 9 << 1100;
        bad = good;
        bad[6 * 4096 + 4095] = char(1);
        QTest::newRow("erased place, byte 4095") << bad << "reserved" << 7 << 4095;
        QTest::newRow("36864 bytes of 0x33")
            << QByteArray(36864, char(0x33)) << "Input_Source" << 1 << 10;
    }
    // Each of the nine scenes is checked like a scene file; an erased place passes; nothing but
    // zeros past the unit's blocks, so an accepted file is what saving the scenes would write.
    void allFileCheck() {
        QFETCH(QByteArray, file);
        QFETCH(QString, field);
        QFETCH(int, scene);
        QFETCH(int, offset);
        const SceneFileVerdict v = Check_All_File(file);
        QCOMPARE(QString::fromLatin1(Field_Name(v.violation.field)), field);
        QCOMPARE(v.check, field.isEmpty() ? SceneFileCheck::Ok : SceneFileCheck::FieldOutOfRange);
        QCOMPARE(v.violation.scene, scene);
        if (!field.isEmpty()) QCOMPARE(v.violation.offset, offset);
    }

    void progress_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("download"); // floor(n / 4.6), within the bar
        QTest::addColumn<int>("upload");   // floor(t / 4.7), within the bar
        QTest::newRow("0") << 0 << 0 << 0;
        QTest::newRow("46") << 46 << 10 << 9;
        QTest::newRow("47") << 47 << 10 << 10;
        QTest::newRow("459") << 459 << 99 << 97;
        QTest::newRow("460") << 460 << 100 << 97;
        QTest::newRow("470") << 470 << 100 << 100;
        QTest::newRow("495, last request") << 495 << 100 << 100;
        QTest::newRow("504, last send") << 504 << 100 << 100;
    }
    void progress() {
        QFETCH(int, count);
        QFETCH(int, download);
        QFETCH(int, upload);
        QCOMPARE(Download_Progress(count), download);
        QCOMPARE(Upload_All_Progress(count), upload);
    }

    // ---- answers read from the report ----

    void reportAnswer_data() {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("data");
        const QByteArray ack = unitReport(hex("4107"));
        QTest::newRow("image block ack") << ack << true << 0x41 << hex("07");
        QByteArray sceneAnswer = hex("150307") + QByteArray(20, char(0x5A));
        QTest::newRow("scene block answer")
            << unitReport(sceneAnswer) << true << 0x15 << sceneAnswer.mid(1);
        QTest::newRow("code only") << unitReport(hex("b0")) << true << 0xB0 << QByteArray();
        QByteArray badSum = ack;
        badSum[7] = char(badSum[7] ^ 0x01);
        QTest::newRow("bad checksum") << badSum << false << 0 << QByteArray();
        QByteArray echo = ack;
        echo[2] = char(0xA2); // the PC's own direction marker
        QTest::newRow("wrong direction") << echo << false << 0 << QByteArray();
        QByteArray noEnd = ack;
        noEnd[8] = char(0x00);
        QTest::newRow("no end marker") << noEnd << false << 0 << QByteArray();
        QTest::newRow("frame at byte 0") << ack.mid(1) << false << 0 << QByteArray();
        QTest::newRow("cut short") << ack.left(8) << false << 0 << QByteArray();
        QTest::newRow("empty payload") << unitReport(QByteArray()) << false << 0 << QByteArray();
        QByteArray tooLong = ack;
        tooLong[4] = char(40); // announces more than the report holds
        QTest::newRow("length past the report") << tooLong << false << 0 << QByteArray();
    }
    void reportAnswer() {
        QFETCH(QByteArray, report);
        QFETCH(bool, accepted);
        QFETCH(int, code);
        QFETCH(QByteArray, data);
        Reply answer;
        QCOMPARE(Decode_Report(reinterpret_cast<const uint8_t*>(report.constData()),
                               static_cast<int>(report.size()), answer),
                 accepted);
        if (!accepted) return;
        QCOMPARE(int(answer.code), code);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(answer.data.data()), answer.length),
                 data);
    }

    void answerMatches_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("minData");
        QTest::addColumn<int>("arg0");
        QTest::addColumn<int>("arg1");
        QTest::addColumn<bool>("matches");
        // The answer: 15 03 07 + 20 bytes.
        QTest::newRow("code only") << 0x15 << 0 << -1 << -1 << true;
        QTest::newRow("other code") << 0x41 << 0 << -1 << -1 << false;
        QTest::newRow("scene and block") << 0x15 << 22 << 3 << 7 << true;
        QTest::newRow("other scene") << 0x15 << 22 << 2 << 7 << false;
        QTest::newRow("other block") << 0x15 << 22 << 3 << 5 << false;
        QTest::newRow("data short") << 0x15 << 23 << 3 << 7 << false;
    }
    void answerMatches() {
        QFETCH(int, code);
        QFETCH(int, minData);
        QFETCH(int, arg0);
        QFETCH(int, arg1);
        QFETCH(bool, matches);
        const QByteArray data = hex("0307") + QByteArray(20, char(1));
        Reply answer;
        answer.code = 0x15;
        answer.length = static_cast<int>(data.size());
        std::copy(data.begin(), data.end(), answer.data.begin());
        QCOMPARE(Answer_Matches(answer, Expected{uint8_t(code), minData, arg0, arg1}), matches);
    }

    // ---- the menu entries ----

    void refusedUntilReadBack_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("state"); // 0 never connected, 1 reading back, 2 re-open pending
        QTest::addColumn<bool>("english");
        for (int e = 1; e <= 4; ++e) {
            QTest::addRow("entry %d, offline", e) << e << 0 << false;
            QTest::addRow("entry %d, reading back", e) << e << 1 << false;
        }
        QTest::newRow("load one, re-open pending") << 2 << 2 << false;
        QTest::newRow("save one, offline, English") << 1 << 0 << true;
    }
    // Nothing is asked, read, written or sent until the unit has been read back completely.
    void refusedUntilReadBack() {
        QFETCH(int, entry);
        QFETCH(int, state);
        QFETCH(bool, english);
        WindowFixture f;
        if (state >= 1) {
            for (int i = 0; i < 100 && !Link_Machine().readingBlocks(); ++i)
                f.ticks(1);
            QVERIFY(Link_Machine().readingBlocks());
        }
        if (state == 2) {
            QVERIFY(f.connect());
            Link_Machine().setReconnectCount(10);
        }
        Pc.Lang_EN = english ? 1 : 0;
        f.clearFrames();
        const auto before = Param_Image.bytes();
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        trigger(f, Entry(entry));
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].title, QString(english ? "Notice" : "提示"));
        QCOMPARE(boxes.seen()[0].text,
                 QString::fromUtf8(english ? "Please connect the unit first!" : kConnectFirstZh));
        QVERIFY(dialogs.seen().empty());
        QVERIFY(f.payloads().empty());
        QVERIFY(Param_Image.bytes() == before);
        QVERIFY(f.ui().BT_SENCE->isEnabled());
    }

    void saveOne() {
        WindowFixture f;
        QVERIFY(f.connect());
        Param_Image.set_EQ_Gain(0, 0, 120);
        Param_Image.set_EQ_Gain(1, 4, 0);
        Param_Image.set_EQ_Gain(2, 9, 240);
        Param_Image.set_EQ_Gain(5, 30, uint16_t(-80));
        for (int i = 1100; i < kImageSize; ++i)
            Param_Image.bytes()[size_t(i)] = uint8_t(i); // as an earlier "*.SCE" load leaves them
        const ParamImage::Bytes mirror = Param_Image.bytes();
        f.clearFrames();

        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("one.SCE"));
        dialogs.choose(path("again.SCE"));
        trigger(f, Entry::SaveOne);
        trigger(f, Entry::SaveOne);

        QCOMPARE(dialogs.seen().size(), size_t(2));
        QCOMPARE(dialogs.seen()[0].title, QString("保存单个场景文件"));
        QCOMPARE(dialogs.seen()[0].nameFilters,
                 (QStringList{"场景文件(*.SCE)", "调音文本(*.json)"}));
        QCOMPARE(dialogs.seen()[0].directory, QDir::homePath()); // no file of its kind chosen yet
        QCOMPARE(dialogs.seen()[0].acceptMode, QFileDialog::AcceptSave);
        QVERIFY(boxes.seen().empty()); // no message follows a save

        const QByteArray file = readFile(path("one.SCE"));
        QCOMPARE(file.size(), 4096);
        QCOMPARE(file, readFile(path("again.SCE")));
        QCOMPARE(file.mid(gainOffset(0, 0), 2), hex("f000"));
        QCOMPARE(file.mid(gainOffset(1, 4), 2), hex("7800"));
        QCOMPARE(file.mid(gainOffset(2, 9), 2), hex("6801"));
        QCOMPARE(file.mid(gainOffset(5, 30), 2), hex("2800"));
        QCOMPARE(file.mid(0, off::EQ_Gain), bytesOf(mirror).mid(0, off::EQ_Gain));
        QCOMPARE(file.mid(off::EQ_Q), bytesOf(mirror).mid(off::EQ_Q));
        QVERIFY(Param_Image.bytes() == mirror); // the mirror keeps the PC encoding
        QVERIFY(f.payloads().empty());
    }

    void saveNotWritten_data() {
        QTest::addColumn<int>("entry");  // Entry::SaveOne or Entry::SaveAll
        QTest::addColumn<int>("target"); // 0 cancelled, 1 missing folder, 2 a folder,
                                         // 3 disk full, 4 folder not writable
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("notice"); // empty: none
        const int one = int(Entry::SaveOne);
        const int all = int(Entry::SaveAll);
        const QString full = "磁盘空间不足，未保存任何内容，原有文件未改变！";
        QTest::newRow("cancelled") << one << 0 << false << QString();
        QTest::newRow("missing folder")
            << one << 1 << false
            << "文件保存失败（No such file or directory），未保存任何内容，原有文件未改变！";
        QTest::newRow("a folder")
            << one << 2
            << false
            // Qt's own reason, in Chinese with Qt's translations (the system's one above is not).
            << "文件保存失败（文件名指向一个目录），未保存任何内容，原有文件未改变！";
        QTest::newRow("disk full") << one << 3 << false << full;
        QTest::newRow("disk full, all scenes") << all << 3 << false << full;
        QTest::newRow("disk full, English")
            << one << 3 << true
            << "The disk is full: nothing was saved, and any earlier file is unchanged!";
        QTest::newRow("not writable")
            << one << 4 << false << "没有写入该位置的权限，未保存任何内容，原有文件未改变！";
    }
    // A save that fails leaves the earlier file as it was, and the user is told why.
    void saveNotWritten() {
        QFETCH(int, entry);
        QFETCH(int, target);
        QFETCH(bool, english);
        QFETCH(QString, notice);
        WindowFixture f;
        QVERIFY(f.connect());
        // The read-back's snapshot is written before the disk is made full (the file-size limit
        // holds for every thread of the process).
        QVERIFY(History_Recorder().flush());
        Pc.Lang_EN = english ? 1 : 0;
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        const QString folder = path("folder.SCE");
        QVERIFY(QDir().mkpath(folder));
        const QString earlier = path("earlier.SCE");
        writeFile(earlier, QByteArray(4096, char(0x5A)));
        if (target == 0) dialogs.cancel();
        if (target == 1) dialogs.choose(path("missing/one.SCE"));
        if (target == 2) dialogs.choose(folder);
        if (target >= 3) dialogs.choose(earlier);
        {
            std::unique_ptr<FileSizeLimit> full;
            std::unique_ptr<Unprivileged> nobody;
            if (target == 3) full = std::make_unique<FileSizeLimit>(1000);
            if (target == 4) {
                QVERIFY(QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::ExeOwner));
                nobody = std::make_unique<Unprivileged>();
                QVERIFY(nobody->ok());
            }
            trigger(f, Entry(entry));
        }
        QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(dialogs.seen().size(), size_t(1));
        QCOMPARE(texts(boxes), notice.isEmpty() ? QStringList() : QStringList{notice});
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!QFile::exists(path("missing/one.SCE")));
        QCOMPARE(readFile(earlier), QByteArray(4096, char(0x5A)));
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"earlier.SCE"});
    }

    void loadOne() {
        WindowFixture f;
        QVERIFY(f.connect());
        const QByteArray file = sceneFileFixture();
        writeFile(path("in.SCE"), file);
        f.clearFrames();
        std::vector<int> bar;
        progressOf(f, this, bar);

        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("in.SCE"));
        trigger(f, Entry::LoadOne);

        QCOMPARE(dialogs.seen().size(), size_t(1));
        QCOMPARE(dialogs.seen()[0].title, QString("加载单个场景文件"));
        // Both kinds are shown at first: a tune text is loaded through the same entry.
        QCOMPARE(dialogs.seen()[0].nameFilters,
                 (QStringList{"场景文件或调音文本(*.SCE *.json)", "场景文件(*.SCE)",
                              "调音文本(*.json)"}));
        QCOMPARE(dialogs.seen()[0].acceptMode, QFileDialog::AcceptOpen);

        // Blocks 0..54 once each, in order, with the file's bytes: nothing past byte 1099.
        std::vector<QByteArray> expected;
        for (int k = 0; k < 55; ++k)
            expected.push_back(imageBlock(file, k));
        QCOMPARE(f.payloads(), expected);
        const sim::Memory& unitMemory = sim::unit().memory();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(unitMemory.data()) + 4, 1096),
                 file.mid(4, 1096));

        std::vector<int> expectedBar{7};
        for (int v = 1; v <= 100; ++v)
            expectedBar.push_back(v);
        QCOMPARE(bar, expectedBar);
        QVERIFY(f.ui().TickBar->isHidden());
        QCOMPARE(texts(boxes), QStringList{"单个场景加载完成，确定后系统将自动同步数据"});
        QVERIFY(f.ui().BT_SENCE->isEnabled());
        QVERIFY(f.ui().BT_OPTION->isEnabled());

        // The mirror holds the file with its gains in the PC encoding until the read-back.
        QCOMPARE(int(Param_Image.EQ_Gain(2, 5)), 240);
        QCOMPARE(int(Param_Image.EQ_Gain(0, 0)), 0);
        QCOMPARE(Link_Machine().reconnectCount(), uint16_t(10));

        // Ten ticks later the unit is opened again and read back.
        f.clearFrames();
        f.ticks(10);
        QCOMPARE(f.payloads().at(0), hex("0616"));
        QVERIFY(f.connect());
        QCOMPARE(int(Param_Image.EQ_Gain(2, 5)), 240);
        QCOMPARE(int(Param_Image.HPF_Freq(1)), 80);
        QCOMPARE(int(Param_Image.CH_Vol(3)), 300);
        QCOMPARE(bytesOf(Param_Image.bytes()).mid(1100), file.mid(1100));
        QCOMPARE(bytesOf(Param_Image.bytes()).mid(11, 13), QByteArray(13, char(0xA5)));
    }

    // A gain an earlier version let the typed entry store is limited before it goes out, and the
    // user is told so first: the unit would read it back as 0.0 dB.
    void loadOneWithAnOldGain() {
        WindowFixture f;
        QVERIFY(f.connect());
        QByteArray file = sceneFileFixture();
        putU16(file, gainOffset(3, 6), 40); // CH4 band 7 at -20.0 dB
        writeFile(path("old.SCE"), file);
        f.clearFrames();

        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("old.SCE"));
        trigger(f, Entry::LoadOne);
        QVERIFY(f.finish());

        QCOMPARE(
            texts(boxes),
            (QStringList{"文件中有 1 个均衡增益超出 -12.0 至 +12.0 dB，已限制到该范围（设备读回时"
                         "会把超出的增益变为 0.0 dB）：CH4 均衡第 7 段 -20.0 dB → -12.0 dB。",
                         "单个场景加载完成，确定后系统将自动同步数据"}));
        const sim::Memory& unit = sim::unit().memory();
        const int at = gainOffset(3, 6);
        QCOMPARE(unit[size_t(at)] | (unit[size_t(at) + 1] << 8), 120);
        f.ticks(10);
        QVERIFY(f.connect());
        QCOMPARE(int(Param_Image.EQ_Gain(3, 6)), 0); // -12.0 dB, not flat
    }

    void loadOneRefused_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("kind"); // 0 file with the content, 1 missing, 2 folder, 3 FIFO
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("notice");
        const QByteArray good = sceneFileFixture();
        const QString size = "场景文件大小不正确（应为 4096 字节），未加载！";
        QTest::newRow("empty") << QByteArray() << 0 << false << size;
        QTest::newRow("one byte short") << good.left(4095) << 0 << false << size;
        QTest::newRow("one byte long") << good + 'x' << 0 << false << size;
        QTest::newRow("all-scenes file")
            << good.repeated(9) << 0 << false
            << "这是全部场景文件（*.ALL），请用“加载电脑的全部场景”加载，未加载！";
        QByteArray shifted = good;
        for (int i = 0; i < kChannels * kBands; ++i)
            putU16(shifted, off::EQ_Gain + 2 * i, u16At(good, off::EQ_Gain + 2 * i) + 120);
        QTest::newRow("gains shifted twice")
            << shifted << 0 << false
            << "文件中的数值超出范围：CH3，第 6 段，均衡增益（EQ_Gain）为 480，允许 "
               "120..360，未加载，"
               "未发送任何数据！";
        // All 0xFF but for valid gains: the unit would get volume, delay and EQ frequency 65535.
        QByteArray erased(4096, char(0xFF));
        for (int i = 0; i < kChannels * kBands; ++i)
            putU16(erased, off::EQ_Gain + 2 * i, 240);
        QTest::newRow("0xFF with valid gains") << erased << 0 << false
                                               << "文件中的数值超出范围：输入源（Input_Source）"
                                                  "为 255，允许 0..2，未加载，未发送任何数据！";
        QByteArray delay = good;
        putU16(delay, off::CH_Delay + 10, 1501);
        QTest::newRow("delay, English")
            << delay << 0 << true
            << "A value in the file is out of range: CH6, channel delay (CH_Delay) is 1501, "
               "allowed 0..1500. Nothing was loaded or sent!";
        QTest::newRow("missing file") << QByteArray() << 1 << false << "无法读取文件，未加载！";
        const QString notRegular = "所选的不是普通文件（例如管道、设备或文件夹），未读取！";
        QTest::newRow("a folder") << QByteArray() << 2 << false << notRegular;
        QTest::newRow("a FIFO nobody writes to") << QByteArray() << 3 << false << notRegular;
    }
    // A refused file changes nothing and sends nothing.
    void loadOneRefused() {
        QFETCH(QByteArray, content);
        QFETCH(int, kind);
        QFETCH(bool, english);
        QFETCH(QString, notice);
        WindowFixture f;
        QVERIFY(f.connect());
        Pc.Lang_EN = english ? 1 : 0;
        const QString file = path("refused.SCE");
        if (kind == 0) writeFile(file, content);
        if (kind == 2) QVERIFY(QDir().mkpath(file));
        if (kind == 3) QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        const auto mirror = Param_Image.bytes();
        f.clearFrames();
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(kind == 1 ? path("missing.SCE") : file);
        trigger(f, Entry::LoadOne);
        QCOMPARE(texts(boxes), QStringList{notice});
        QVERIFY(f.payloads().empty());
        QVERIFY(Param_Image.bytes() == mirror);
        QCOMPARE(Link_Machine().reconnectCount(), uint16_t(0));
    }

    // The tune's text form through the same menu entries: chosen by the file name, saved from
    // the mirror, and loaded with the same frames as the scene file it stands for.
    void textExportImport() {
        WindowFixture f;
        QVERIFY(f.connect());
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("one.SCE"));
        dialogs.choose(path("one.json"));
        trigger(f, Entry::SaveOne);
        trigger(f, Entry::SaveOne);
        const QByteArray scene = readFile(path("one.SCE"));
        const QByteArray text = readFile(path("one.json"));
        QVERIFY(text.startsWith("{\n    \"channels\": {\n        \"CH1\": {"));
        QVERIFY(text.contains("\n    \"format\": \"tarn80x-tune\",\n"));
        QVERIFY(boxes.seen().empty());

        f.clearFrames();
        dialogs.choose(path("one.json"));
        trigger(f, Entry::LoadOne);
        std::vector<QByteArray> expected;
        for (int k = 0; k < 55; ++k)
            expected.push_back(imageBlock(scene, k));
        QCOMPARE(f.payloads(), expected);
        QCOMPARE(texts(boxes), QStringList{"单个场景加载完成，确定后系统将自动同步数据"});

        // A hand edit out of range is refused naming the field; nothing is sent.
        QByteArray edited = text;
        const qsizetype at = edited.indexOf("\"level_db\": 0");
        QVERIFY(at > 0);
        edited.replace(at, 13, "\"level_db\": 7");
        writeFile(path("bad.json"), edited);
        f.ticks(10);
        QVERIFY(f.connect());
        f.clearFrames();
        boxes.clear();
        dialogs.choose(path("bad.json"));
        Pc.Lang_EN = 1;
        trigger(f, Entry::LoadOne);
        QCOMPARE(texts(boxes), QStringList{"The tune text was refused; nothing was loaded: CH1 "
                                           "level: 7 dB is out of range (-60.0 to 0.0)"});
        QVERIFY(f.payloads().empty());
    }

    // A name typed without a suffix is saved as the kind chosen in the dialog, with its suffix.
    void saveAsTheChosenKind_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("filter"); // empty: left as the dialog opens
        QTest::addColumn<QString>("written");
        QTest::newRow("tune text") << false << "调音文本(*.json)"
                                   << "gui_tune.json";
        QTest::newRow("tune text, English") << true << "Tune text (*.json)"
                                            << "gui_tune.json";
        QTest::newRow("scene file, picked") << false << "场景文件(*.SCE)"
                                            << "gui_tune.SCE";
        QTest::newRow("scene file, as the dialog opens") << false << QString() << "gui_tune.SCE";
    }
    void saveAsTheChosenKind() {
        QFETCH(bool, english);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        WindowFixture f;
        QVERIFY(f.connect());
        Pc.Lang_EN = english ? 1 : 0;
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("gui_tune"), filter);
        trigger(f, Entry::SaveOne);
        QCOMPARE(dialogs.seen().size(), size_t(1));
        QVERIFY(boxes.seen().empty());
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{written});
        const QByteArray file = readFile(dir_->path() + "/" + written);
        if (written.endsWith(".json"))
            QVERIFY(file.startsWith("{\n    \"channels\": {\n"));
        else
            QCOMPARE(file.size(), 4096);
    }

    void loadOneCancelled() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.clearFrames();
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.cancel();
        trigger(f, Entry::LoadOne);
        QCOMPARE(dialogs.seen().size(), size_t(1));
        QVERIFY(boxes.seen().empty());
        QVERIFY(f.payloads().empty());
    }

    void loadOneRecoversLostAnswers_data() {
        QTest::addColumn<QList<sim::Fault>>("faults");
        QTest::addColumn<int>("resends");
        using F = sim::Fault;
        QTest::newRow("lost") << QList<F>{F::Drop} << 1;
        QTest::newRow("late") << QList<F>{F::Late} << 0; // still in time
        QTest::newRow("stale then lost") << QList<F>{F::Stale, F::Drop} << 1;
        QTest::newRow("garbled, bad checksum") << QList<F>{F::Garble, F::BadChecksum} << 2;
    }
    // A block without acknowledgement goes again with its own bytes under its own number, so the
    // unit ends up with the file exactly.
    void loadOneRecoversLostAnswers() {
        QFETCH(QList<sim::Fault>, faults);
        QFETCH(int, resends);
        WindowFixture f;
        QVERIFY(f.connect());
        const QByteArray file = sceneFileFixture();
        writeFile(path("in.SCE"), file);
        f.clearFrames();
        whenProgress(f, this, 20, [&] {
            sim::unit().injectFaults(std::vector<sim::Fault>(faults.begin(), faults.end()));
        });
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("in.SCE"));
        trigger(f, Entry::LoadOne);

        QCOMPARE(texts(boxes), QStringList{"单个场景加载完成，确定后系统将自动同步数据"});
        const sim::Memory& unitMemory = sim::unit().memory();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(unitMemory.data()) + 4, 1096),
                 file.mid(4, 1096));
        int last = -1;
        int repeated = 0;
        for (const QByteArray& p : f.payloads()) {
            const int k = uint8_t(p[2]);
            QCOMPARE(p, imageBlock(file, k));
            QVERIFY(k == last || k == last + 1);
            repeated += k == last;
            last = k;
        }
        QCOMPARE(last, 54);
        QCOMPARE(repeated, resends);
    }

    // A write that fails is reported once by the link; the load stops there and claims nothing.
    void loadOneUnplugged() {
        WindowFixture f;
        QVERIFY(f.connect());
        writeFile(path("in.SCE"), sceneFileFixture());
        f.clearFrames();
        whenProgress(f, this, 20, [] { sim::unit().setPlugged(false); });
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("in.SCE"));
        trigger(f, Entry::LoadOne);
        QCOMPARE(texts(boxes), QStringList{"机器通讯异常！"});
        QCOMPARE(f.payloads().size(), size_t(20));
        QVERIFY(!Link_Machine().online());
        QVERIFY(f.ui().TickBar->isHidden());
        QCOMPARE(Link_Machine().reconnectCount(), uint16_t(0));
    }

    // While a transfer runs its menus are off, and another transfer asked for is not started.
    void oneTransferAtATime() {
        WindowFixture f;
        QVERIFY(f.connect());
        writeFile(path("in.SCE"), sceneFileFixture());
        f.clearFrames();
        bool menusOff = false;
        whenProgress(f, this, 30, [&] {
            menusOff = !f.ui().BT_SENCE->isEnabled() && !f.ui().BT_OPTION->isEnabled();
            trigger(f, Entry::SaveOne);
            trigger(f, Entry::SaveAll);
            f.window().menus.upgrade->trigger();
        });
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("in.SCE"));
        trigger(f, Entry::LoadOne);
        QVERIFY(menusOff);
        QCOMPARE(dialogs.seen().size(), size_t(1));
        QCOMPARE(f.payloads().size(), size_t(55));
        QCOMPARE(texts(boxes), QStringList{"单个场景加载完成，确定后系统将自动同步数据"});
        QVERIFY(f.ui().BT_SENCE->isEnabled());
        QVERIFY(!f.window().sceneActions().transfer().running());
    }

    void saveAll() {
        WindowFixture f;
        QVERIFY(f.connect());
        fillUnitScenes();
        sim::unit().scene(2).image[size_t(off::EQ_Q)] = 0; // CH1 band 1 Q 0: the load refuses it
        f.clearFrames();
        std::vector<int> bar;
        progressOf(f, this, bar);
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("all.ALL"));
        trigger(f, Entry::SaveAll);

        QCOMPARE(dialogs.seen().size(), size_t(1));
        QCOMPARE(dialogs.seen()[0].title, QString("保存全部场景文件"));
        QCOMPARE(dialogs.seen()[0].nameFilters, QStringList{"场景文件(*.ALL)"});
        QCOMPARE(dialogs.seen()[0].acceptMode, QFileDialog::AcceptSave);
        QVERIFY(boxes.seen().empty());

        std::vector<QByteArray> expected;
        for (int s = 1; s <= 9; ++s)
            for (int k = 0; k < 55; ++k)
                expected.push_back(hex("0615") + QByteArray(1, char(s)) + QByteArray(1, char(k)));
        QCOMPARE(f.payloads(), expected);

        const QByteArray file = readFile(path("all.ALL"));
        QCOMPARE(file.size(), 36864);
        for (int s = 1; s <= 9; ++s) {
            const sim::Memory& image = sim::unit().scene(s).image;
            QByteArray unitBlocks(reinterpret_cast<const char*>(image.data()), 1100);
            if (s == 2) unitBlocks[off::EQ_Q] = char(0x1e); // saved as a read-back shows it, Q 3.0
            const QByteArray scene = file.mid((s - 1) * 4096, 4096);
            QCOMPARE(scene.left(1100), unitBlocks);
            QCOMPARE(scene.mid(1100), QByteArray(4096 - 1100, '\0'));
        }
        QCOMPARE(Check_All_File(file).check, SceneFileCheck::Ok);
        QVERIFY(std::is_sorted(bar.begin(), bar.end()));
        QCOMPARE(bar.back(), 100);
        QVERIFY(f.ui().TickBar->isHidden());
    }

    // Reading the scenes only reads: it stops at Cancel beside the bar, asks for no file and
    // leaves none behind.
    void saveAllCancelled() {
        WindowFixture f;
        QVERIFY(f.connect());
        QString stopText;
        bool stopEnabled = false;
        whenProgress(f, this, 30, [&] {
            stopText = f.ui().BT_TRANSFER_STOP->text();
            stopEnabled =
                f.ui().BT_TRANSFER_STOP->isVisible() && f.ui().BT_TRANSFER_STOP->isEnabled();
            QTest::mouseClick(f.ui().BT_TRANSFER_STOP, Qt::LeftButton);
        });
        f.window().show();
        f.clearFrames();
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("all.ALL"));
        trigger(f, Entry::SaveAll);
        QCOMPARE(stopText, QString("取消"));
        QVERIFY(stopEnabled);
        QVERIFY(dialogs.seen().empty());
        QVERIFY(boxes.seen().empty());
        QVERIFY(!QFile::exists(path("all.ALL")));
        const size_t sent = f.payloads().size();
        QCOMPARE(sent, size_t(137)); // the bar reaches 30 as request 138 is about to go out
        QVERIFY(f.ui().TickBar->isHidden());
        QVERIFY(f.ui().BT_TRANSFER_STOP->isHidden());
        QVERIFY(f.ui().BT_SENCE->isEnabled());
        f.ticks(500);
        QCOMPARE(f.payloads().size(), sent); // nothing asked since
        QVERIFY(Link_Machine().online());
    }

    // A load writes into the unit: it cannot be stopped, and the display says so.
    void loadOneCannotBeStopped_data() {
        QTest::addColumn<bool>("english");
        QTest::newRow("Chinese") << false;
        QTest::newRow("English") << true;
    }
    void loadOneCannotBeStopped() {
        QFETCH(bool, english);
        WindowFixture f;
        QVERIFY(f.connect());
        f.window().Language_Set(english ? 1 : 0);
        writeFile(path("in.SCE"), sceneFileFixture());
        QString stopText;
        bool stopEnabled = true;
        whenProgress(f, this, 30, [&] {
            stopText = f.ui().BT_TRANSFER_STOP->text();
            stopEnabled = f.ui().BT_TRANSFER_STOP->isEnabled();
            QTest::mouseClick(f.ui().BT_TRANSFER_STOP, Qt::LeftButton);
        });
        f.window().show();
        f.clearFrames();
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("in.SCE"));
        trigger(f, Entry::LoadOne);
        QCOMPARE(stopText, english ? QString("Transfer in progress, cannot be stopped")
                                   : QString("传输进行中，不能中断"));
        QVERIFY(!stopEnabled);
        QCOMPARE(f.payloads().size(), size_t(55));
        QCOMPARE(boxes.seen().size(), size_t(1));
    }

    // Online already, with only the scene names still coming: the action waits for them and then
    // goes on; a link that goes down meanwhile drops it with the connect notice.
    void actionWaitsForSceneNames_data() {
        QTest::addColumn<bool>("unplug");
        QTest::newRow("names read") << false;
        QTest::newRow("link lost meanwhile") << true;
    }
    void actionWaitsForSceneNames() {
        QFETCH(bool, unplug);
        WindowFixture f;
        fillUnitScenes();
        for (int i = 0; i < 1000 && !Link_Machine().readingNames(); ++i)
            f.ticks(1);
        QVERIFY(Link_Machine().readingNames());
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("已连接"));
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("all.ALL"));
        trigger(f, Entry::SaveAll);
        QVERIFY(boxes.seen().empty()); // not refused
        QVERIFY(dialogs.seen().empty());
        if (unplug) sim::unit().setPlugged(false);
        f.ticks(unplug ? 400 : 20);
        f.finish();
        if (unplug) {
            QCOMPARE(texts(boxes), (QStringList{"机器通讯异常！", kConnectFirstZh}));
            QVERIFY(!QFile::exists(path("all.ALL")));
            return;
        }
        QVERIFY(boxes.seen().empty());
        QCOMPARE(readFile(path("all.ALL")).size(), 36864);
        QCOMPARE(
            readFile(path("all.ALL")).left(1100),
            QByteArray(reinterpret_cast<const char*>(sim::unit().scene(1).image.data()), 1100));
    }

    void saveAllDespiteFaults_data() {
        QTest::addColumn<QList<sim::Fault>>("faults");
        using F = sim::Fault;
        // A stale answer names the block before the one asked for: taking it would leave the asked
        // block unread, a hole of zeros in the file.
        QTest::newRow("stale") << QList<F>{F::Stale, F::Stale, F::Stale};
        QTest::newRow("late") << QList<F>{F::Late, F::Late};
        QTest::newRow("lost") << QList<F>{F::Drop};
        QTest::newRow("garbled") << QList<F>{F::Garble};
    }
    void saveAllDespiteFaults() {
        QFETCH(QList<sim::Fault>, faults);
        WindowFixture f;
        QVERIFY(f.connect());
        fillUnitScenes();
        bool injected = false;
        whenProgress(f, this, 10, [&] {
            injected = true;
            sim::unit().injectFaults(std::vector<sim::Fault>(faults.begin(), faults.end()));
        });
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("all.ALL"));
        trigger(f, Entry::SaveAll);
        QVERIFY(injected);
        QVERIFY(boxes.seen().empty());
        const QByteArray file = readFile(path("all.ALL"));
        QCOMPARE(file.size(), 36864);
        for (int s = 1; s <= 9; ++s) {
            const sim::Memory& image = sim::unit().scene(s).image;
            QCOMPARE(file.mid((s - 1) * 4096, 1100),
                     QByteArray(reinterpret_cast<const char*>(image.data()), 1100));
        }
    }

    void loadAllRefused_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("notice");
        const QString size = "全部场景文件大小不正确（应为 36864 字节），未加载！";
        QTest::newRow("single-scene file")
            << sceneFileFixture()
            << "这是单个场景文件（*.SCE），请用“加载电脑的单个场景”加载，未加载！";
        QTest::newRow("empty") << QByteArray() << size;
        QTest::newRow("one byte short") << allScenesFile().left(36863) << size;
        QTest::newRow("one byte long") << allScenesFile() + 'x' << size;
        QByteArray q = allScenesFile();
        q[4 * 4096 + off::EQ_Q] = 0;
        QTest::newRow("scene 5, Q 0") << q
                                      << "文件中的数值超出范围：场景 5，CH1，第 1 段，均衡 Q "
                                         "值（EQ_Q）为 0，允许 4..100，未加载，"
                                         "未发送任何数据！";
        QByteArray tail = allScenesFile();
        tail[8 * 4096 + 1100] = 1;
        QTest::newRow("scene 9, byte 1100") << tail
                                            << "文件中的数值超出范围：场景 9，第 1100 "
                                               "字节，保留字节（reserved）为 1，允许 0..0，未加载"
                                               "，未发送任何数据！";
        QTest::newRow("any 36864 bytes")
            << QByteArray(36864, char(0x33))
            << "文件中的数值超出范围：场景 1，输入源（Input_Source）为 51，允许 0..2，未加载，未"
               "发送任何数据！";
    }
    // Nothing is sent, and the unit's stored scenes stay as they were.
    void loadAllRefused() {
        QFETCH(QByteArray, content);
        QFETCH(QString, notice);
        WindowFixture f;
        QVERIFY(f.connect());
        writeFile(path("in.ALL"), content);
        const sim::Memory scene5 = sim::unit().scene(5).image;
        f.clearFrames();
        ModalAnswerer boxes;
        FileDialogAnswerer dialogs;
        dialogs.choose(path("in.ALL"));
        trigger(f, Entry::LoadAll);
        QCOMPARE(dialogs.seen().size(), size_t(1));
        QCOMPARE(dialogs.seen()[0].title, QString("加载全部场景文件"));
        QCOMPARE(dialogs.seen()[0].nameFilters, QStringList{"场景文件(*.ALL)"});
        QCOMPARE(texts(boxes), QStringList{notice});
        QVERIFY(f.payloads().empty());
        QVERIFY(sim::unit().scene(5).image == scene5);
        QCOMPARE(sim::unit().counters().sceneLoads, 0);
    }
};

QTEST_MAIN(TestSceneFiles)
#include "test_scene_files.moc"
