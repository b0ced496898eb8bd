// The scene manager on the real window against the simulated unit: what it shows, the place
// choice, the name rule, the bytes of save / recall / delete, the read-back after a recall, and
// what happens when the unit cannot take a command.
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "sim/unit_sim.h"
#include "tests/support/modal_answerer.h"
#include "tests/support/transfer_helpers.h"
#include "tests/support/window_fixture.h"
#include "views/scene_actions_scene_manager.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <functional>

using namespace tarn;
using namespace tarn::test;

namespace {

template <typename T> T* child(QWidget* parent, const QString& name) {
    T* w = parent->findChild<T*>(name);
    if (!w) qWarning() << "no child" << name;
    return w;
}

QCheckBox* place(QWidget* d, int row) {
    return child<QCheckBox>(d, QString("Check_S_%1").arg(row));
}
QLineEdit* nameEdit(QWidget* d, int row) {
    return child<QLineEdit>(d, QString("Edit_Sence_Name_%1").arg(row));
}
QLabel* mark(QWidget* d, int row) {
    return child<QLabel>(d, QString("Label_Mark_%1").arg(row));
}
void click(QWidget* d, const char* button) {
    QTest::mouseClick(child<QPushButton>(d, button), Qt::LeftButton);
}

std::vector<SceneManager*> managers(bool visibleOnly = true) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::vector<SceneManager*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<SceneManager*>(w); m && (!visibleOnly || m->isVisible()))
            out.push_back(m);
    return out;
}

// Through the scene menu's first entry, as the user opens it.
SceneManager* openManager(WindowFixture& f) {
    f.window().menus.sceneEntry[0]->trigger();
    const auto open = managers();
    return open.size() == 1 ? open[0] : nullptr;
}

void setUnitSceneName(int k, const QByteArray& bytes) {
    sim::Name name;
    name.fill(0);
    std::copy(bytes.begin(), bytes.begin() + std::min<qsizetype>(bytes.size(), 16), name.begin());
    sim::unit().scene(k).name = name;
}

void eraseUnitScene(int k) {
    sim::Scene& s = sim::unit().scene(k);
    s.name.fill(0xFF);
    s.image.fill(0xFF);
    s.used = false;
}

QByteArray slotBytes(int row) {
    const auto& s = Link_Machine().scenes().Scene_Name[size_t(row - 1)];
    return QByteArray(reinterpret_cast<const char*>(s.data()), 16);
}

QByteArray unitSceneName(int k) {
    const sim::Name& n = sim::unit().scene(k).name;
    return QByteArray(reinterpret_cast<const char*>(n.data()), 16);
}

QByteArray scenePayload(int code, int k) {
    return QByteArray("\x05", 1) + char(code) + char(k);
}

} // namespace

class TestSceneManager : public QObject {
    Q_OBJECT

  private slots:
    void cleanup();

    void menuEntryNeedsTheUnit_data();
    void menuEntryNeedsTheUnit();
    void showsTheScenesInItsLanguage_data();
    void showsTheScenesInItsLanguage();
    void atMostOnePlaceIsChosen();
    void nameRule_data();
    void nameRule();
    void saveWritesTheSlotBytes_data();
    void saveWritesTheSlotBytes();
    void nothingChosenSendsNothing_data();
    void nothingChosenSendsNothing();
    void recallTellsFirstThenReadsTheSceneBack();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void recallOfAnEmptyPlaceIsRefused_data();
    void recallOfAnEmptyPlaceIsRefused();
    void commandsNeedAReadyUnit_data();
    void commandsNeedAReadyUnit();
    void failedWriteIsNotReportedAsDone_data();
    void failedWriteIsNotReportedAsDone();
    void keepsItsLanguageWhenTheWindowSwitches();
    void newDialogReplacesTheOpenOne();
    void closeButtonsDeleteTheDialog_data();
    void closeButtonsDeleteTheDialog();
    void dragsWithTheLeftButton();
};

void TestSceneManager::cleanup() {
    for (SceneManager* m : managers(false))
        m->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Pc.Lang_EN = 0;
}

void TestSceneManager::menuEntryNeedsTheUnit_data() {
    QTest::addColumn<int>("english");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("zh") << 0 << "提示"
                        << "请先联机！";
    QTest::newRow("en") << 1 << "Notice"
                        << "Please connect the unit first!";
}

void TestSceneManager::menuEntryNeedsTheUnit() {
    QFETCH(int, english);
    QFETCH(QString, title);
    QFETCH(QString, text);
    WindowFixture f;
    Pc.Lang_EN = uint8_t(english);
    ModalAnswerer answer;
    QVERIFY(!openManager(f));
    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].title, title);
    QCOMPARE(answer.seen()[0].text, text);
    QVERIFY(managers(false).empty());
    QVERIFY(f.payloads().empty());
}

void TestSceneManager::showsTheScenesInItsLanguage_data() {
    QTest::addColumn<int>("english");
    QTest::addColumn<QStringList>("texts"); // label, BT_SAVE, BT_CALL, BT_DEL, BT_EXIT
    QTest::addColumn<QString>("used");
    QTest::addColumn<QString>("empty");
    QTest::newRow("zh") << 0 << QStringList{"加载/保存场景", "保存", "调用", "删除", "退出"}
                        << "非空"
                        << "空";
    QTest::newRow("en") << 1 << QStringList{"Load/Save", "Save", "Load", "Delete", "Exit"} << "Used"
                        << "Empty";
}

void TestSceneManager::showsTheScenesInItsLanguage() {
    QFETCH(int, english);
    QFETCH(QStringList, texts);
    QFETCH(QString, used);
    QFETCH(QString, empty);
    WindowFixture f;
    eraseUnitScene(2);                                  // read back as "Mode2", not valid
    setUnitSceneName(4, "1digit");                      // refused by the read: "Mode4"
    setUnitSceneName(5, "ABCDEFGHIJKLMNOP");            // 16 bytes, no NUL in the slot
    setUnitSceneName(7, QByteArray("Caf\xE9\0xyz", 8)); // Latin-1, bytes after the NUL
    QVERIFY(f.connect());
    Pc.Lang_EN = uint8_t(english);

    SceneManager* d = openManager(f);
    QVERIFY(d);
    QVERIFY(d->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!d->isModal());
    QVERIFY(d->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!d->parent());
    QCOMPARE(d->size(), QSize(563, 311));
    QCOMPARE(d->windowTitle(), QString("场景管理"));
    QCOMPARE(child<QLabel>(d, "label")->text(), texts[0]);
    const char* buttons[] = {"BT_SAVE", "BT_CALL", "BT_DEL", "BT_EXIT"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(child<QPushButton>(d, buttons[i])->text(), texts[i + 1]);
    const QStringList headings{"Select", "Position", "Name", "State"};
    for (int i = 0; i < 4; ++i) {
        auto* h = child<QPushButton>(d, QString("BT_SAVE_%1").arg(i + 2));
        QCOMPARE(h->text(), headings[i]);
        QCOMPARE(h->isVisible(), english != 0);
    }

    const QStringList names{"Scene1", "Mode2",     "Scene3", "Mode4", "ABCDEFGHIJKLMNOP",
                            "Scene6", "Caf\u00e9", "Scene8", "Scene9"};
    for (int row = 1; row <= 9; ++row) {
        QCOMPARE(child<QLabel>(d, QString("label_%1").arg(row + 1))->text(), QString::number(row));
        QVERIFY(!place(d, row)->isChecked());
        QCOMPARE(nameEdit(d, row)->text(), names[row - 1]);
        QCOMPARE(nameEdit(d, row)->maxLength(), 16);
        QCOMPARE(bool(nameEdit(d, row)->alignment() & Qt::AlignHCenter), english == 0);
        QCOMPARE(mark(d, row)->text(), (row == 2 || row == 4) ? empty : used);
    }
}

void TestSceneManager::atMostOnePlaceIsChosen() {
    WindowFixture f;
    QVERIFY(f.connect());
    SceneManager* d = openManager(f);
    QVERIFY(d);
    f.clearFrames();
    auto checked = [&] {
        QList<int> rows;
        for (int row = 1; row <= 9; ++row)
            if (place(d, row)->isChecked()) rows << row;
        return rows;
    };
    QTest::mouseClick(place(d, 2), Qt::LeftButton);
    QCOMPARE(checked(), QList<int>{2});
    QTest::mouseClick(place(d, 4), Qt::LeftButton);
    QCOMPARE(checked(), QList<int>{4});
    QTest::mouseClick(place(d, 4), Qt::LeftButton);
    QCOMPARE(checked(), QList<int>{});
    QVERIFY(f.payloads().empty());
}

void TestSceneManager::nameRule_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    const QString format = "场景名称格式不正确，要字母开头!";
    const QString ok;
    QTest::newRow("capital") << "Alpha" << ok;
    QTest::newRow("small z") << "zed" << ok;
    QTest::newRow("underscore") << "_bass" << ok;
    QTest::newRow("square bracket") << "[x]" << ok;
    QTest::newRow("grave accent") << "`x" << ok;
    QTest::newRow("Latin-1 after the first letter") << "Caf\u00e9 \u00c9t\u00e9" << ok;
    QTest::newRow("digit") << "1st" << format;
    QTest::newRow("space") << " Lead" << format;
    QTest::newRow("brace") << "{x}" << format;
    QTest::newRow("at sign") << "@home" << format;
    QTest::newRow("empty") << "" << format;
    QTest::newRow("Latin-1 letter first") << "\u00c9clair" << format;
    // The unit keeps one byte per character: what has none is named, never stored as '?'.
    const QString chars = "场景名称中的字符“%1”（%2）无法存入设备：只能使用拉丁字母、数字和西欧"
                          "字符（Latin-1）!";
    QTest::newRow("Chinese") << "场景" << chars.arg("场", "U+573A");
    QTest::newRow("Chinese after a letter") << "A中文\u00e9" << chars.arg("中", "U+4E2D");
    QTest::newRow("euro sign") << "Price\u20ac" << chars.arg("\u20ac", "U+20AC");
    QTest::newRow("emoji") << "Car\U0001F697" << chars.arg("\U0001F697", "U+1F697");
    QTest::newRow("tab") << "Left\tRight" << chars.arg("", "U+0009");
}

void TestSceneManager::nameRule() {
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    WindowFixture f;
    eraseUnitScene(4);
    QVERIFY(f.connect());
    SceneManager* d = openManager(f);
    QVERIFY(d);
    const QByteArray before = slotBytes(4);
    f.clearFrames();

    QTest::mouseClick(place(d, 4), Qt::LeftButton);
    nameEdit(d, 4)->setText(name);
    ModalAnswerer answer;
    click(d, "BT_SAVE");

    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].title, QString("提示"));
    if (refusal.isEmpty()) {
        QCOMPARE(answer.seen()[0].text, QString("场景保存成功!"));
        const QByteArray sent = QByteArray("\x05\x0E\x04", 3) + slotBytes(4);
        QCOMPARE(f.writes(), std::vector<QByteArray>{sent});
        QCOMPARE(slotBytes(4).left(name.size() + 1), name.toLatin1() + QByteArray(1, '\0'));
        QCOMPARE(unitSceneName(4), slotBytes(4));
        QVERIFY(sim::unit().scene(4).used);
        QCOMPARE(int(Link_Machine().scenes().Scene_Valid[3]), 1);
        QCOMPARE(mark(d, 4)->text(), QString("非空"));
    } else {
        QCOMPARE(answer.seen()[0].text, refusal);
        QVERIFY(f.payloads().empty());
        QCOMPARE(slotBytes(4), before);
        QCOMPARE(int(Link_Machine().scenes().Scene_Valid[3]), 0);
        QCOMPARE(mark(d, 4)->text(), QString("空"));
    }
}

void TestSceneManager::saveWritesTheSlotBytes_data() {
    QTest::addColumn<QByteArray>("old");  // the unit's name bytes for place 3, read back first
    QTest::addColumn<QString>("name");    // typed into row 3; null: left as read back
    QTest::addColumn<QByteArray>("slot"); // the 16 bytes sent and kept
    const QByteArray oldSix("Sixchr\0\x11\x22\x33\x44\x55\x66\x77\x88\x99", 16);
    QTest::newRow("shorter name keeps the old tail")
        << oldSix << "Ab" << QByteArray("Ab\0chr\0\x11\x22\x33\x44\x55\x66\x77\x88\x99", 16);
    QTest::newRow("sixteen characters fill the slot")
        << oldSix << "ABCDEFGHIJKLMNOP" << QByteArray("ABCDEFGHIJKLMNOP");
    QTest::newRow("fifteen characters end in a NUL")
        << oldSix << "ABCDEFGHIJKLMNO" << QByteArray("ABCDEFGHIJKLMNO\0", 16);
    QTest::newRow("Latin-1 kept as one byte")
        << oldSix << "Caf\u00e9"
        << QByteArray("Caf\xE9\0r\0\x11\x22\x33\x44\x55\x66\x77\x88\x99", 16);
    QTest::newRow("name read back, saved untouched")
        << QByteArray("Caf\xE9\0\x01\x02", 7) << QString()
        << QByteArray("Caf\xE9\0\x01\x02\0\0\0\0\0\0\0\0\0", 16);
}

void TestSceneManager::saveWritesTheSlotBytes() {
    QFETCH(QByteArray, old);
    QFETCH(QString, name);
    QFETCH(QByteArray, slot);
    WindowFixture f;
    setUnitSceneName(3, old);
    QVERIFY(f.connect());
    Pc.Lang_EN = 1;
    SceneManager* d = openManager(f);
    QVERIFY(d);
    const QByteArray neighbours = slotBytes(2) + slotBytes(4);
    f.clearFrames();

    QTest::mouseClick(place(d, 3), Qt::LeftButton);
    if (!name.isNull()) nameEdit(d, 3)->setText(name);
    ModalAnswerer answer;
    click(d, "BT_SAVE");

    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].title, QString("Notice"));
    QCOMPARE(answer.seen()[0].text, QString("Scene saved!"));
    QCOMPARE(f.writes(), std::vector<QByteArray>{QByteArray("\x05\x0E\x03", 3) + slot});
    QCOMPARE(slotBytes(3), slot);
    QCOMPARE(slotBytes(2) + slotBytes(4), neighbours);
    QCOMPARE(unitSceneName(3), slot);
}

void TestSceneManager::nothingChosenSendsNothing_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("english");
    QTest::addColumn<QString>("text");
    QTest::newRow("save zh") << "BT_SAVE" << 0 << "请勾选对应的场景!";
    QTest::newRow("load zh") << "BT_CALL" << 0 << "请勾选对应的场景!";
    QTest::newRow("delete zh") << "BT_DEL" << 0 << "请勾选对应的场景!";
    QTest::newRow("save en") << "BT_SAVE" << 1 << "Select a scene first!";
    QTest::newRow("load en") << "BT_CALL" << 1 << "Select a scene first!";
    QTest::newRow("delete en") << "BT_DEL" << 1 << "Select a scene first!";
}

void TestSceneManager::nothingChosenSendsNothing() {
    QFETCH(QString, button);
    QFETCH(int, english);
    QFETCH(QString, text);
    WindowFixture f;
    QVERIFY(f.connect());
    Pc.Lang_EN = uint8_t(english);
    SceneManager* d = openManager(f);
    QVERIFY(d);
    const auto before = Link_Machine().scenes();
    f.clearFrames();
    QTest::mouseClick(place(d, 5), Qt::LeftButton);
    QTest::mouseClick(place(d, 5), Qt::LeftButton); // chosen, then unchosen
    ModalAnswerer answer(QMessageBox::Yes);
    click(d, button.toLatin1().constData());
    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].text, text);
    QVERIFY(f.payloads().empty());
    QVERIFY(Link_Machine().scenes().Scene_Name == before.Scene_Name &&
            Link_Machine().scenes().Scene_Valid == before.Scene_Valid);
    QCOMPARE(int(Link_Machine().reconnectCount()), 0);
}

void TestSceneManager::recallTellsFirstThenReadsTheSceneBack() {
    WindowFixture f;
    // Place 3 holds a scene that differs from the unit's current settings.
    sim::Scene& s = sim::unit().scene(3);
    s.image = sim::unit().memory();
    s.image[sim::off::TotalVol] = 0x41; // 321
    s.image[sim::off::TotalVol + 1] = 0x01;
    s.image[sim::off::ChMute + 2] = 1;
    QVERIFY(f.connect());
    QVERIFY(Param_Image.Total_Vol() != 321);
    SceneManager* d = openManager(f);
    QVERIFY(d);
    f.clearFrames();

    QTest::mouseClick(place(d, 3), Qt::LeftButton);
    ModalAnswerer boxes;
    size_t writesBefore = 1; // class-0x05 payloads sent before the box showed
    boxes.onBox([&](QMessageBox*) {
        writesBefore = size_t(std::count_if(
            sim::unit().frames().begin(), sim::unit().frames().end(),
            [](const sim::Frame& fr) { return !fr.payload.empty() && fr.payload[0] == 0x05; }));
    });
    click(d, "BT_CALL");
    QCOMPARE(int(boxes.seen().size()), 1);
    QCOMPARE(boxes.seen()[0].text, QString("场景加载成功，请耐心等待参数更新!"));
    QCOMPARE(writesBefore, size_t(0)); // the notice came before the recall
    QCOMPARE(f.writes(), std::vector<QByteArray>{scenePayload(0x0F, 3)});
    QCOMPARE(int(Link_Machine().reconnectCount()), 100);

    // A hundred ticks later the unit is opened again and read back.
    f.clearFrames();
    f.ticks(99);
    for (const QByteArray& p : f.payloads())
        QVERIFY(p != hex("0616"));
    f.ticks(1);
    QCOMPARE(f.payloads().back(), hex("0616"));
    QVERIFY(f.connect());
    QCOMPARE(int(Param_Image.Total_Vol()), 321);
    QCOMPARE(int(Param_Image.CH_Mute(2)), 1);
    QCOMPARE(int(Link_Machine().reconnectCount()), 0);
}

void TestSceneManager::deleteAsksFirst_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("declined") << false;
    QTest::newRow("confirmed") << true;
}

void TestSceneManager::deleteAsksFirst() {
    QFETCH(bool, yes);
    WindowFixture f;
    eraseUnitScene(8);
    QVERIFY(f.connect());
    Pc.Lang_EN = 1;
    SceneManager* d = openManager(f);
    QVERIFY(d);
    f.clearFrames();

    QTest::mouseClick(place(d, 3), Qt::LeftButton);
    ModalAnswerer answer(yes ? QMessageBox::Yes : QMessageBox::No);
    click(d, "BT_DEL");
    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].title, QString("Notice"));
    QCOMPARE(answer.seen()[0].text, QString("Delete scene 3 \"Scene3\"?"));
    QVERIFY(f.finish()); // the scene is read for the history before it goes

    if (yes) {
        QCOMPARE(f.writes(), std::vector<QByteArray>{scenePayload(0x11, 3)});
        QVERIFY(!sim::unit().scene(3).used);
    } else {
        QVERIFY(f.payloads().empty());
        QVERIFY(sim::unit().scene(3).used);
    }
    QCOMPARE(int(Link_Machine().scenes().Scene_Valid[2]), yes ? 0 : 1);
    for (int row = 1; row <= 9; ++row) {
        const bool used = row != 8 && !(yes && row == 3);
        QCOMPARE(mark(d, row)->text(), QString(used ? "Used" : "Empty"));
    }
    // An emptied place shows what the unit reports for it, as the command line lists it.
    QCOMPARE(nameEdit(d, 3)->text(), QString(yes ? "Mode3" : "Scene3"));
    if (yes) {
        Link_Machine().Connect_Unit(); // read the names again: the same name comes back
        QVERIFY(f.connect());
        QCOMPARE(slotBytes(3), QByteArray("Mode3\0\0\0\0\0\0\0\0\0\0\0", 16));
    }
}

void TestSceneManager::recallOfAnEmptyPlaceIsRefused_data() {
    QTest::addColumn<int>("english");
    QTest::addColumn<QString>("text");
    QTest::newRow("zh") << 0 << "场景 8 是空的，没有可调用的场景，未发送任何命令!";
    QTest::newRow("en") << 1
                        << "Scene place 8 is empty: there is nothing to recall. Nothing was "
                           "sent!";
}

// An empty place would bring an erased tune: refused by name, before anything is sent or kept.
void TestSceneManager::recallOfAnEmptyPlaceIsRefused() {
    QFETCH(int, english);
    QFETCH(QString, text);
    WindowFixture f;
    eraseUnitScene(8);
    QVERIFY(f.connect());
    Pc.Lang_EN = uint8_t(english);
    SceneManager* d = openManager(f);
    QVERIFY(d);
    f.clearFrames();

    QTest::mouseClick(place(d, 8), Qt::LeftButton);
    ModalAnswerer answer;
    click(d, "BT_CALL");
    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].text, text);
    f.ticks(200);
    QVERIFY(f.writes().empty());
    QCOMPARE(sim::unit().counters().sceneRecalls, 0);
    QCOMPARE(int(Link_Machine().reconnectCount()), 0);
}

// A command the unit would not get is refused with the connect notice, and nothing changes:
// after the link is lost, and while the unit is being read back (writes are dropped then).
void TestSceneManager::commandsNeedAReadyUnit_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("readingBack");
    for (const char* b : {"BT_SAVE", "BT_CALL", "BT_DEL"}) {
        QTest::addRow("%s, link lost", b) << QString(b) << false;
        QTest::addRow("%s, reading back", b) << QString(b) << true;
    }
}

void TestSceneManager::commandsNeedAReadyUnit() {
    QFETCH(QString, button);
    QFETCH(bool, readingBack);
    WindowFixture f;
    QVERIFY(f.connect());
    SceneManager* d = openManager(f);
    QVERIFY(d);
    QTest::mouseClick(place(d, 6), Qt::LeftButton);
    nameEdit(d, 6)->setText("Night");

    ModalAnswerer answer(QMessageBox::Yes);
    if (readingBack) {
        Link_Machine().Connect_Unit(); // a new handshake, as after a recall
        f.ticks(1);
        QCOMPARE(int(Link_Machine().readingBlocks()), 1);
    } else {
        sim::unit().setPlugged(false);
        f.ticks(401); // the keep-alive write fails
        QCOMPARE(int(Link_Machine().online()), 0);
        QVERIFY(!answer.seen().empty());
        QCOMPARE(answer.seen().back().text, QString("机器通讯异常！"));
    }
    answer.clear();
    const auto before = Link_Machine().scenes();
    f.clearFrames();
    click(d, button.toLatin1().constData());

    QCOMPARE(int(answer.seen().size()), 1);
    QCOMPARE(answer.seen()[0].text, QString("请先联机！"));
    QVERIFY(f.writes().empty());
    QVERIFY(Link_Machine().scenes().Scene_Name == before.Scene_Name &&
            Link_Machine().scenes().Scene_Valid == before.Scene_Valid);
    QCOMPARE(mark(d, 6)->text(), QString("非空"));
    QCOMPARE(int(Link_Machine().reconnectCount()), 0);
    if (readingBack) QVERIFY(f.connect()); // the read-back itself goes on undisturbed
}

// The unit goes away between the last keep-alive and the command: the write fails, the sender
// reports it, and the dialog neither claims success nor changes its places.
void TestSceneManager::failedWriteIsNotReportedAsDone_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("save") << "BT_SAVE" << QStringList{"机器通讯异常！"};
    QTest::newRow("load") << "BT_CALL"
                          << QStringList{"场景加载成功，请耐心等待参数更新!", "机器通讯异常！"};
    QTest::newRow("delete") << "BT_DEL"
                            << QStringList{"请确认是否要删除场景 6“Scene6”", "机器通讯异常！"};
}

void TestSceneManager::failedWriteIsNotReportedAsDone() {
    QFETCH(QString, button);
    QFETCH(QStringList, texts);
    WindowFixture f;
    QVERIFY(f.connect());
    SceneManager* d = openManager(f);
    QVERIFY(d);
    QTest::mouseClick(place(d, 6), Qt::LeftButton);
    nameEdit(d, 6)->setText("Night");
    const auto before = Link_Machine().scenes();
    sim::unit().setPlugged(false);

    ModalAnswerer boxes(QMessageBox::Yes);
    click(d, button.toLatin1().constData());
    QVERIFY(f.finish()); // a delete reads the scene for the history first
    QCOMPARE(tarn::test::texts(boxes), texts);
    QCOMPARE(int(Link_Machine().online()), 0);
    QVERIFY(Link_Machine().scenes().Scene_Name == before.Scene_Name &&
            Link_Machine().scenes().Scene_Valid == before.Scene_Valid);
    QCOMPARE(mark(d, 6)->text(), QString("非空"));
    QCOMPARE(int(Link_Machine().reconnectCount()), 0);
    QCOMPARE(sim::unit().counters().failedWrites, 1);
}

void TestSceneManager::keepsItsLanguageWhenTheWindowSwitches() {
    WindowFixture f;
    QVERIFY(f.connect());
    SceneManager* d = openManager(f);
    QVERIFY(d);
    f.window().Language_Set(1); // English from now on
    QTest::mouseClick(place(d, 2), Qt::LeftButton);
    ModalAnswerer answer(QMessageBox::Yes);
    click(d, "BT_DEL");
    QVERIFY(f.finish()); // the scene is read for the history before it goes
    QCOMPARE(answer.seen()[0].title, QString("Notice")); // notices follow the switch at once
    QCOMPARE(mark(d, 2)->text(), QString("空"));         // the open dialog keeps Chinese
    QCOMPARE(mark(d, 1)->text(), QString("非空"));
    QCOMPARE(child<QPushButton>(d, "BT_SAVE")->text(), QString("保存"));

    SceneManager* fresh = openManager(f);
    QVERIFY(fresh);
    QCOMPARE(mark(fresh, 2)->text(), QString("Empty"));
    QCOMPARE(child<QPushButton>(fresh, "BT_SAVE")->text(), QString("Save"));
}

void TestSceneManager::newDialogReplacesTheOpenOne() {
    WindowFixture f;
    QVERIFY(f.connect());
    QPointer<SceneManager> first = openManager(f);
    QVERIFY(first);
    // Names read after the dialog opened show only in a new one.
    setUnitSceneName(1, "Evening");
    Link_Machine().Connect_Unit();
    QVERIFY(f.connect());
    QCOMPARE(nameEdit(first, 1)->text(), QString("Scene1"));

    SceneManager* second = openManager(f);
    QVERIFY(second);
    QVERIFY(!first); // closed and deleted
    QCOMPARE(int(managers(false).size()), 1);
    QCOMPARE(nameEdit(second, 1)->text(), QString("Evening"));
}

void TestSceneManager::closeButtonsDeleteTheDialog_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("BT_CLOSE") << "BT_CLOSE";
    QTest::newRow("BT_EXIT") << "BT_EXIT";
}

void TestSceneManager::closeButtonsDeleteTheDialog() {
    QFETCH(QString, button);
    WindowFixture f;
    QVERIFY(f.connect());
    QPointer<SceneManager> d = openManager(f);
    QVERIFY(d);
    f.clearFrames();
    click(d, button.toLatin1().constData());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!d);
    QVERIFY(f.payloads().empty());
}

void TestSceneManager::dragsWithTheLeftButton() {
    WindowFixture f;
    QVERIFY(f.connect());
    SceneManager* d = openManager(f);
    QVERIFY(d);
    const QPoint start = d->pos();
    const QPoint grab(300, 30);
    const QPoint globalGrab = d->frameGeometry().topLeft() + grab;
    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button,
                    Qt::MouseButtons held) {
        QMouseEvent e(type, grab, global, button, held, Qt::NoModifier);
        QApplication::sendEvent(d, &e);
    };
    send(QEvent::MouseButtonPress, globalGrab, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, globalGrab + QPoint(40, 25), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(d->pos(), start + QPoint(40, 25));
    // Without the left button held the dialog stays where it is.
    send(QEvent::MouseButtonRelease, globalGrab + QPoint(40, 25), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, globalGrab + QPoint(90, 90), Qt::NoButton, Qt::NoButton);
    QCOMPARE(d->pos(), start + QPoint(40, 25));
}

QTEST_MAIN(TestSceneManager)
#include "test_scene_manager.moc"
