// Speaker roles: preset crossovers, the menus' enabled entries, names and what is sent.
#include "model/param_image.h"
#include "session/roles.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QPushButton>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

class TestRoles : public QObject {
    Q_OBJECT

  private slots:
    void presets_data() {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("code");
        QTest::addColumn<QList<int>>("hpf"); // freq, off, slope
        QTest::addColumn<QList<int>>("lpf");
        // Start-up filters: HPF 20 Hz off slope 3, LPF 20000 Hz off slope 3.
        QTest::newRow("CH2 FL-Woofer") << 1 << 2 << QList<int>{30, 0, 3} << QList<int>{90, 0, 3};
        QTest::newRow("CH1 FL-Woofer") << 0 << 2 << QList<int>{20, 1, 3} << QList<int>{150, 0, 3};
        QTest::newRow("CH6 FL-Midrange")
            << 5 << 1 << QList<int>{150, 0, 3} << QList<int>{3000, 0, 3};
        QTest::newRow("CH3 RR-Midrange")
            << 2 << 13 << QList<int>{300, 0, 3} << QList<int>{3000, 0, 3};
        QTest::newRow("CH4 FR-Tweeter")
            << 3 << 4 << QList<int>{3000, 0, 3} << QList<int>{20000, 1, 3};
        QTest::newRow("CH1 RL-Woofer") << 0 << 10 << QList<int>{20, 1, 3} << QList<int>{300, 0, 3};
        QTest::newRow("CH5 centre") << 4 << 16 << QList<int>{300, 0, 3} << QList<int>{3000, 0, 3};
        QTest::newRow("CH1 subwoofer") << 0 << 19 << QList<int>{30, 0, 3} << QList<int>{90, 0, 3};
        QTest::newRow("CH3 OFF") << 2 << 20 << QList<int>{20, 1, 3} << QList<int>{20000, 1, 3};
    }
    void presets() {
        QFETCH(int, ch);
        QFETCH(int, code);
        QFETCH(QList<int>, hpf);
        QFETCH(QList<int>, lpf);
        Param_Init();
        Role_Apply_Crossover(ch, static_cast<uint8_t>(code));
        const ParamImage& p = Param_Image;
        QCOMPARE((QList<int>{p.HPF_Freq(ch), p.HPF_Off(ch), p.HPF_Slope(ch)}), hpf);
        QCOMPARE((QList<int>{p.LPF_Freq(ch), p.LPF_Off(ch), p.LPF_Slope(ch)}), lpf);
    }

    void menusAtStartUp() {
        WindowFixture f;
        const auto& menu = f.window().menus.role[0];
        for (int code : {3, 7, 11, 15, 16})
            QVERIFY(!menu.entry[code]->isEnabled());
        for (int code : {0, 4, 17, 19, 20})
            QVERIFY(menu.entry[code]->isEnabled());
        QCOMPARE(f.ui().chNameButton[4]->text(), QString("中置"));
    }

    void choosingARoleOnline() {
        WindowFixture f;
        QVERIFY(f.connect());
        f.clearFrames();
        f.window().menus.role[1].entry[2]->trigger(); // CH2 becomes FL-Woofer
        QCOMPARE(f.writes(),
                 (std::vector<QByteArray>{hex("0517 03020B0F1013"), hex("0506 0100 1E00 0300"),
                                          hex("0507 0100 5A00 0300")}));
        QCOMPARE(int(Pc.Cur_CH), 1);
        QCOMPARE(f.ui().chNameButton[1]->text(), QString("前左低频"));
        QVERIFY(!f.window().menus.role[5].entry[2]->isEnabled());
        QVERIFY(f.window().menus.role[5].entry[7]->isEnabled()); // FR-FULL is free again

        f.clearFrames();
        f.window().menus.role[2].entry[20]->trigger(); // OFF sends only the names
        QCOMPARE(f.writes(), (std::vector<QByteArray>{hex("0517 0302140F1013")}));
    }

    void offlineChangesOnlyThePcCopy() {
        WindowFixture f;
        f.window().menus.role[5].entry[19]->trigger();
        f.window().menus.role[4].entry[19]->trigger(); // two subwoofers are allowed
        QCOMPARE(int(Param_Image.CH_Name(4)), 19);
        QCOMPARE(int(Param_Image.HPF_Freq(4)), 30);
        QVERIFY(f.payloads().empty());
    }

    void unknownCodeFromTheUnit() {
        WindowFixture f;
        sim::unit().memory()[4 + 3] = 42;
        QVERIFY(f.connect());
        QCOMPARE(f.ui().chNameButton[3]->text(), QString("未知"));
    }
};

QTEST_MAIN(TestRoles)
#include "test_roles.moc"
