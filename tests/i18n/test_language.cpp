// Switching the window between Chinese and English.
#include "link/link_machine.h"
#include "model/param_image.h"
#include "tests/support/window_fixture.h"
#include "views/outputs.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

class TestLanguage : public QObject {
    Q_OBJECT

    struct Snapshot {
        QStringList texts;
        bool operator==(const Snapshot& o) const { return texts == o.texts; }
    };
    static Snapshot snapshot(WindowFixture& f) {
        Snapshot s;
        for (QAbstractButton* b : f.window().findChildren<QAbstractButton*>())
            s.texts << b->text();
        for (QLabel* l : f.window().findChildren<QLabel*>())
            s.texts << l->text();
        for (QAction* a : f.window().findChildren<QAction*>())
            s.texts << a->text();
        for (QMenu* m : f.window().findChildren<QMenu*>())
            s.texts << m->title();
        return s;
    }

  private slots:
    void englishAndBack() {
        WindowFixture f;
        Param_Image.set_HPF_Off(0, 1);
        Param_Image.set_CH_Phase(2, 1);
        f.window().outputsStrip().drawPhaseButton(2);
        const Snapshot chinese = snapshot(f);
        f.window().menus.english->trigger();
        QCOMPARE(int(Pc.Lang_EN), 1);
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("Offline"));
        QCOMPARE(f.ui().label_16->text(), QString("Master volume"));
        QCOMPARE(f.ui().BT_MainMute->text(), QString("Mute"));
        QCOMPARE(f.ui().chMute[3]->text(), QString("Mute"));
        QCOMPARE(f.ui().chSync[3]->text(), QString("Sync"));
        QCOMPARE(f.ui().curveCheck[5]->text(), QString("CH6 curve"));
        QCOMPARE(f.ui().BT_HPF_SLOPE->text(), QString("OFF"));
        QCOMPARE(f.ui().BT_HPF_TYPE->text(), QString("Butterworth"));
        QCOMPARE(f.ui().chPhase[2]->text(), QString("180°"));
        QCOMPARE(f.ui().chNameButton[0]->text(), QString("FL-FULL"));
        QCOMPARE(f.window().menus.noiseGateLevel[6]->text(), QString("L6"));
        QCOMPARE(f.window().menus.noiseGate->title(), QString("Noise Gate"));
        QCOMPARE(f.window().menus.role[0].position[2]->title(), QString("SL"));
        QCOMPARE(f.window().menus.role[0].entry[1]->text(), QString("Midrange"));
        QCOMPARE(f.window().menus.role[0].entry[17]->text(), QString("左超低"));
        QCOMPARE(f.window().menus.chinese->text(), QString("中文"));
        const Snapshot english = snapshot(f);
        f.window().menus.english->trigger();
        QVERIFY(snapshot(f) == english); // a second switch changes nothing
        f.window().menus.chinese->trigger();
        QVERIFY(snapshot(f) == chinese);
    }

    // Controls captioned with an abbreviation or a code say what they do and their range.
    void tooltipsFollowTheLanguage_data() {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("zh"); // part of the Chinese tooltip
        QTest::addColumn<QString>("en"); // part of the English tooltip
        QTest::newRow("HI") << "BT_INPUT_HI"
                            << "高电平输入"
                            << "High-level input: the head unit's speaker outputs";
        QTest::newRow("OPT") << "BT_INPUT_OPT"
                             << "光纤输入"
                             << "Optical input: digital audio";
        QTest::newRow("Sync") << "BT_Sync_A041"
                              << "延时（0.00 至 15.00 ms）"
                              << "level (-60.0 to 0.0 dB) and delay (0.00 to 15.00 ms)";
        QTest::newRow("LR-Link") << "BT_LINK"
                                 << "复制到与它配对的左/右通道"
                                 << "copies a channel's EQ and/or filter settings";
        QTest::newRow("Unit") << "BT_Unit"
                              << "0 至 518 cm"
                              << "(0.00 to 15.00 ms)";
        QTest::newRow("Unit caption") << "label_13"
                                      << "0.00 至 15.00 ms"
                                      << "(0 to 518 cm)";
        QTest::newRow("PEQ") << "BT_PEQ"
                             << "Q值（0.4 至 10.0）"
                             << "Q (0.4 to 10.0)";
        QTest::newRow("GEQ") << "BT_GEQ"
                             << "只调31段的增益（-12.0 至 +12.0 dB）"
                             << "only the gain of the 31 bands is set (-12.0 to +12.0 dB)";
        QTest::newRow("Q") << "label_10"
                           << "0.4（宽）至 10.0（窄）"
                           << "0.4 (wide) to 10.0 (narrow)";
        QTest::newRow("HPF") << "label"
                             << "转折频率（20 至 20000 Hz）以上"
                             << "above its corner frequency (20 to 20000 Hz)";
        QTest::newRow("LPF") << "label_12"
                             << "转折频率（20 至 20000 Hz）以下"
                             << "below its corner frequency (20 to 20000 Hz)";
        QTest::newRow("HPF family") << "BT_HPF_TYPE"
                                    << "林克维茨-瑞利（转折点 -6 dB"
                                    << "Linkwitz-Riley (-6 dB at the corner";
        QTest::newRow("LPF slope") << "BT_LPF_SLOPE"
                                   << "每倍频程 -6 至 -48 dB"
                                   << "-6 to -48 dB per octave in steps of 6 dB";
    }
    void tooltipsFollowTheLanguage() {
        QFETCH(QString, widget);
        QFETCH(QString, zh);
        QFETCH(QString, en);
        WindowFixture f;
        auto* w = f.window().findChild<QWidget*>(widget);
        QVERIFY(w);
        QVERIFY2(w->toolTip().contains(zh), qPrintable(w->toolTip()));
        f.window().menus.english->trigger();
        QVERIFY2(w->toolTip().contains(en), qPrintable(w->toolTip()));
        f.window().menus.chinese->trigger();
        QVERIFY2(w->toolTip().contains(zh), qPrintable(w->toolTip()));
    }

    // The noise-gate levels and the filter families explain themselves in their menus.
    void menuTooltipsFollowTheLanguage() {
        WindowFixture f;
        const Tarn80X::Menus& m = f.window().menus;
        for (const QMenu* menu : {m.noiseGate, m.hpfType, m.lpfType})
            QVERIFY(menu->toolTipsVisible());
        QCOMPARE(m.noiseGateLevel[0]->toolTip(), QString("噪声门关闭：输出从不因信号太小而静音。"));
        QVERIFY(m.noiseGateLevel[1]->toolTip().startsWith("1级（门限最低，共6级）"));
        QVERIFY(m.hpfTypeEntry[2]->toolTip().startsWith("贝塞尔：相位变化最平缓"));
        f.window().menus.english->trigger();
        QCOMPARE(m.noiseGateLevel[0]->toolTip(),
                 QString("Noise gate off: the outputs are never muted for a low signal."));
        QVERIFY(m.noiseGateLevel[1]->toolTip().startsWith("Level 1 of 6 (lowest threshold)"));
        QVERIFY(m.noiseGateLevel[4]->toolTip().startsWith("Level 4 of 6: a higher threshold"));
        QVERIFY(m.noiseGateLevel[6]->toolTip().startsWith("Level 6 of 6 (highest threshold)"));
        QVERIFY(m.lpfTypeEntry[1]->toolTip().startsWith("Linkwitz-Riley: -6 dB at the corner"));
        QVERIFY(m.hpfTypeEntry[0]->toolTip().startsWith("Butterworth: the flattest pass band"));
        f.window().menus.chinese->trigger();
        QVERIFY(m.lpfTypeEntry[1]->toolTip().startsWith("林克维茨-瑞利：转折频率处 -6 dB"));
    }

    void statusFollowsTheLink() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.window().Language_Set(1);
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("Online"));
        f.window().Language_Set(0);
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("已连接"));
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
