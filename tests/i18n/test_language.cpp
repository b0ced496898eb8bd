// Switching the window between Chinese and English.
#include "link/link_machine.h"
#include "model/param_image.h"
#include "tests/support/window_fixture.h"

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
        f.window().Draw_Phase_Button(2);
        const Snapshot chinese = snapshot(f);
        f.window().menus.english->trigger();
        QCOMPARE(int(Pc.Lang_EN), 1);
        QCOMPARE(f.ui().BT_CONNECT->text(), QString("OFF"));
        QCOMPARE(f.ui().label_16->text(), QString("    MasterVol"));
        QCOMPARE(f.ui().BT_MainMute->text(), QString("Mute"));
        QCOMPARE(f.ui().chMute[3]->text(), QString("Mute"));
        QCOMPARE(f.ui().chSync[3]->text(), QString("Sync"));
        QCOMPARE(f.ui().curveCheck[5]->text(), QString("CH6-Line"));
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
