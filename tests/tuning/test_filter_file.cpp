// Filter-settings files: what is read or refused (with its line), how the peaking filters are
// fitted into the bands, what is left out, and the summary.
#include "tuning/filter_file.h"

#include <QtTest>
#include <cmath>

using namespace tarn;

namespace {

// As a room-measurement program writes its filter settings.
const char kProgramExport[] = "Filter Settings file\n"
                              "\n"
                              "Room EQ V5.20\n"
                              "Dated: 10 Dec 2026 14:02:11\n"
                              "\n"
                              "Notes:front left\n"
                              "\n"
                              "Equaliser: Generic\n"
                              "Average 1\n"
                              "Filter  1: ON  PK       Fc   63.50 Hz  Gain  -6.00 dB  Q  4.000\n"
                              "Filter  2: ON  None\n"
                              "Filter  3: OFF PK       Fc   125.0 Hz  Gain  -3.50 dB  Q  2.000\n"
                              "Filter  4: ON  LS 12dB  Fc   80.00 Hz  Gain   3.00 dB\n";

// As a parametric-equaliser configuration is written.
const char kConfiguration[] = "# car, front left\n"
                              "Preamp: -4.5 dB\n"
                              "Channel: L\n"
                              "Filter: ON PK Fc 1000 Hz Gain 3 dB Q 1.41\n"
                              "Filter 2: ON HS Fc 8000 Hz Gain -2 dB Q 0.7\n"
                              "Filter 3: ON PK Fc 60 Hz Gain -5 dB BW Oct 1.0\n";

QByteArray peaks(int n) {
    QByteArray text;
    for (int k = 1; k <= n; ++k)
        text += QByteArray("Filter ") + QByteArray::number(k) + ": ON PK Fc " +
                QByteArray::number(20 + 100 * k) + " Hz Gain -1.0 dB Q 2.0\n";
    return text;
}

} // namespace

class TestFilterFile : public QObject {
    Q_OBJECT

  private slots:
    void programExport() {
        const FilterFile f = Read_Filter_File(kProgramExport);
        QVERIFY(f.ok);
        QVERIFY(!f.hasPreamp);
        QCOMPARE(int(f.filters.size()), 3); // the "None" slot is no filter
        QCOMPARE(f.filters[0].line, 10);
        QVERIFY(f.filters[0].on && f.filters[0].peaking);
        QCOMPARE(f.filters[0].fc, 63.5);
        QCOMPARE(f.filters[0].gain, -6.0);
        QCOMPARE(f.filters[0].q, 4.0);
        QVERIFY(!f.filters[1].on);
        QCOMPARE(f.filters[2].type, QString("LS 12dB"));
        QVERIFY(!f.filters[2].peaking);
    }

    void configuration() {
        const FilterFile f = Read_Filter_File(kConfiguration);
        QVERIFY(f.ok);
        QVERIFY(f.hasPreamp);
        QCOMPARE(f.preamp, -4.5);
        QCOMPARE(int(f.filters.size()), 3);
        QCOMPARE(f.filters[0].fc, 1000.0);
        QCOMPARE(f.filters[0].q, 1.41);
        QCOMPARE(f.filters[1].type, QString("HS"));
        QVERIFY(std::fabs(f.filters[2].q - 1.4142) < 0.0001); // one octave
    }

    void refusedAtItsLine_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line"); // 0: no filter line at all
        QTest::newRow("frequency not a number")
            << QByteArray("Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n"
                          "Filter 2: ON PK Fc abc Hz Gain 1 dB Q 1\n")
            << 2;
        QTest::newRow("peaking filter without Q")
            << QByteArray("Preamp: -2 dB\nFilter 1: ON PK Fc 100 Hz Gain -3 dB\n") << 2;
        QTest::newRow("neither ON nor OFF")
            << QByteArray("Filter 1: PK Fc 100 Hz Gain -3 dB Q 2\n") << 1;
        QTest::newRow("measurement data")
            << QByteArray("* Freq(Hz) SPL(dB)\n20 80.5\n21 80.6\n") << 2;
        QTest::newRow("gain no equaliser has")
            << QByteArray("Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n"
                          "Filter 2: ON PK Fc 100 Hz Gain 1e300 dB Q 2\n")
            << 2;
        QTest::newRow("preamp not a number") << QByteArray("Preamp: loud\n") << 1;
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n", 8) << 1;
        QTest::newRow("text only") << QByteArray("hello\nworld\n") << 0;
    }
    void refusedAtItsLine() {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        const FilterFile f = Read_Filter_File(text);
        QVERIFY(!f.ok);
        QCOMPARE(f.badLine, line);
        QVERIFY(f.filters.empty());
    }

    // Each value is limited to the band's range and the limit noted with its line.
    void clampedAndNoted() {
        const FilterFile f = Read_Filter_File("Filter 1: ON PK Fc 25000 Hz Gain 4 dB Q 0.2\n"
                                              "Filter 2: ON PK Fc 15 Hz Gain -15 dB Q 12\n");
        const FilterFit fit = Fit_Filters(f);
        QCOMPARE(fit.applied, 2);
        QCOMPARE(fit.bands[0], (BandSetting{20, 0, 100}));     // -12.0 dB, Q 10.0
        QCOMPARE(fit.bands[30], (BandSetting{20000, 160, 4})); // +4.0 dB, Q 0.4
        QCOMPARE(fit.bandLine[0], 2);
        QCOMPARE(fit.bandLine[30], 1);
        QCOMPARE(int(fit.clamps.size()), 5);
        const FilterClamp& gain = fit.clamps[3];
        QCOMPARE(gain.line, 2);
        QCOMPARE(int(gain.field), int(FilterClamp::Field::Gain));
        QCOMPARE(gain.from, -15.0);
        QCOMPARE(gain.to, -12.0);
    }

    // Filters in frequency order into rising bands, each near its band's default frequency; the
    // remaining bands flat at their defaults.
    void bandsNearTheirHomes() {
        const FilterFit fit =
            Fit_Filters(Read_Filter_File("Filter 1: ON PK Fc 1100 Hz Gain 2 dB Q 3\n"
                                         "Filter 2: ON PK Fc 63.5 Hz Gain -6 dB Q 4\n"
                                         "Filter 3: ON PK Fc 1000 Hz Gain 1.05 dB Q 1.46\n"));
        QCOMPARE(fit.bands[5], (BandSetting{64, 60, 40}));
        QCOMPARE(fit.bands[17], (BandSetting{1000, 131, 15}));
        QCOMPARE(fit.bands[18], (BandSetting{1100, 140, 30}));
        QCOMPARE(fit.bands[4], (BandSetting{50, 120, 30}));
        QCOMPARE(fit.bands[30], (BandSetting{20000, 120, 30}));
    }

    void leftOut_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("applied");
        QTest::addColumn<QVector<int>>("skippedLines");
        QTest::addColumn<QVector<int>>("why"); // FilterSkip::Why
        const int off = int(FilterSkip::Why::Off), type = int(FilterSkip::Why::Unsupported),
                  many = int(FilterSkip::Why::TooMany);
        QTest::newRow("program export")
            << QByteArray(kProgramExport) << 1 << QVector<int>{12, 13} << QVector<int>{off, type};
        QTest::newRow("configuration")
            << QByteArray(kConfiguration) << 2 << QVector<int>{5} << QVector<int>{type};
        QTest::newRow("shelves, passes, notch")
            << QByteArray("Filter 1: ON LSC Fc 80 Hz Gain 3 dB Q 0.7\nFilter 2: ON HP Fc 30 Hz\n"
                          "Filter 3: ON LP Fc 90 Hz\nFilter 4: ON NO Fc 50 Hz\n"
                          "Filter 5: ON PK Fc 50 Hz Gain -2 dB Q 5\n")
            << 1 << QVector<int>{1, 2, 3, 4} << QVector<int>{type, type, type, type};
        QTest::newRow("32 peaking filters")
            << peaks(32) << 31 << QVector<int>{32} << QVector<int>{many};
    }
    void leftOut() {
        QFETCH(QByteArray, text);
        QFETCH(int, applied);
        QFETCH(QVector<int>, skippedLines);
        QFETCH(QVector<int>, why);
        const FilterFit fit = Fit_Filters(Read_Filter_File(text));
        QCOMPARE(fit.applied, applied);
        QVector<int> lines, reasons;
        for (const FilterSkip& s : fit.skipped)
            lines << s.line, reasons << int(s.why);
        QCOMPARE(lines, skippedLines);
        QCOMPARE(reasons, why);
    }

    // A -15 dB filter limited to -12 dB misses by 3 dB at its frequency; the summary says so, with
    // everything else it did, in both languages.
    void summary() {
        const QByteArray text = "Preamp: -4.5 dB\n"
                                "Filter 1: ON PK Fc 1000 Hz Gain -15 dB Q 2\n"
                                "Filter 2: ON HS Fc 8000 Hz Gain -2 dB Q 0.7\n";
        const FilterFile file = Read_Filter_File(text);
        const FilterFit fit = Fit_Filters(file);
        QVERIFY(std::fabs(fit.worstDb - 2.9988) < 0.001);
        QVERIFY(std::fabs(fit.worstFreq - 988.89) < 0.01);
        QCOMPARE(Filter_Import_Summary(file, fit, 2, true),
                 QString("CH3: 1 peaking filter set into the EQ bands; the other bands are flat.\n"
                         "Preamp -4.5 dB in the file: not applied.\n"
                         "Limited to the unit's range: line 2 gain -15.0 dB → -12.0 dB\n"
                         "Not applied: line 3 HS (type not supported)\n"
                         "Largest difference from the file's peaking filters: 3.0 dB at 989 Hz."));
        QCOMPARE(Filter_Import_Summary(file, fit, 2, false),
                 QString("CH3：已将 1 个峰值滤波器设置到均衡频段，其余频段为平直。\n"
                         "文件中的前级增益 -4.5 dB：未应用。\n"
                         "超出范围已限制：第2行 增益 -15.0 dB → -12.0 dB\n"
                         "未应用：第3行 HS（不支持的类型）\n"
                         "与文件峰值滤波器响应的最大差异：3.0 dB，位于 989 Hz。"));
    }
};

QTEST_APPLESS_MAIN(TestFilterFile)
#include "test_filter_file.moc"
