// Filter-settings files: what is read or refused (with its line), how the peaking filters are
// fitted into the bands, what is left out, and the summary.
#include "session/filter_file.h"

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

// A room-measurement program's filter settings for a measurement named "2nd seat FL": the name
// stands on its own line just above the filters.
const char kSeatExport[] = "Filter Settings file\n"
                           "\n"
                           "Dated: 12 Mar 2027 09:41:07\n"
                           "\n"
                           "Notes:tuned at the driver's seat\n"
                           "\n"
                           "Equaliser: Generic\n"
                           "2nd seat FL\n"
                           "Filter  1: ON  PK       Fc   48.20 Hz  Gain  -7.50 dB  Q  5.120\n"
                           "Filter  2: ON  PK       Fc   118.0 Hz  Gain  -4.00 dB  Q  3.000\n"
                           "Filter  3: ON  None\n";

// A parametric-equaliser configuration with a section per channel of a stereo pair, filters for
// both before the first section and after "Channel: all".
const char kChannelSections[] = "# car, front pair, measured at the driver's seat\n" // 1
                                "Preamp: -6.0 dB\n"
                                "Filter 1: ON PK Fc 40 Hz Gain -2.0 dB Q 1.00\n"
                                "Channel: L\n"
                                "Preamp: -1.5 dB\n" // 5
                                "Filter 2: ON PK Fc 125 Hz Gain -4.0 dB Q 2.50\n"
                                "Filter 3: ON PK Fc 2400 Hz Gain 2.5 dB Q 1.80\n"
                                "Channel: R\n"
                                "Filter 4: ON PK Fc 160 Hz Gain -5.5 dB Q 3.00\n"
                                "Filter 5: ON PK Fc 3150 Hz Gain -3.0 dB Q 4.00\n" // 10
                                "Channel: all\n"
                                "Filter 6: ON PK Fc 12000 Hz Gain -1.0 dB Q 0.70\n";

QVector<int> linesOf(const FilterFile& f) {
    QVector<int> lines;
    for (const FileFilter& filter : f.filters)
        lines << filter.line;
    return lines;
}

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

    void headerBeforeTheFilters() {
        const FilterFile f = Read_Filter_File(kSeatExport);
        QVERIFY(f.ok);
        QCOMPARE(linesOf(f), (QVector<int>{9, 10}));
        QCOMPARE(f.filters[0].fc, 48.2);
        QCOMPARE(f.filters[0].q, 5.12);
    }

    // Room-mode filters are peaking filters: set into the bands with the Q limited to 10.0 and the
    // limit told; the decay-time target after the Q is read and not needed.
    void modalFilters() {
        const FilterFile file = Read_Filter_File(
            "Filter Settings file\n"
            "Equaliser: Generic\n"
            "Filter  1: ON  Modal    Fc   120.0 Hz  Gain  -6.00 dB  Q 11.59  T60 target   300 ms\n"
            "Filter  2: ON  Modal    Fc   45.20 Hz  Gain  -4.50 dB  Q  6.250 T60 target   400 ms\n"
            "Filter  3: ON  PK       Fc   1000 Hz   Gain  -2.00 dB  Q  2.000\n");
        QVERIFY(file.ok);
        QCOMPARE(linesOf(file), (QVector<int>{3, 4, 5}));
        QCOMPARE(file.filters[0].type, QString("Modal"));
        QVERIFY(file.filters[0].peaking);
        QCOMPARE(file.filters[0].q, 11.59);
        const FilterFit fit = Fit_Filters(file);
        QCOMPARE(fit.applied, 3);
        QVERIFY(fit.skipped.empty());
        QCOMPARE(fit.bands[4], (BandSetting{45, 75, 63}));     // -4.5 dB, Q 6.3
        QCOMPARE(fit.bands[8], (BandSetting{120, 60, 100}));   // -6.0 dB, Q 10.0
        QCOMPARE(fit.bands[17], (BandSetting{1000, 100, 20})); // -2.0 dB, Q 2.0
        const QStringList en = Filter_Import_Summary(file, fit, 0, true).split('\n');
        QCOMPARE(en.mid(0, 2),
                 (QStringList{"CH1: 3 peaking filters set into the EQ bands; the other bands are "
                              "flat.",
                              "Limited to the unit's range: line 3 Q 11.59 → 10.00"}));
        const QStringList zh = Filter_Import_Summary(file, fit, 0, false).split('\n');
        QCOMPARE(zh.value(1), QString("超出范围已限制：第3行 Q 11.59 → 10.00"));
    }

    void modalDecayTargetMustRead_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("no time") << QByteArray("Filter 1: ON Modal Fc 120 Hz Gain -6 dB Q 8 T60\n");
        QTest::newRow("not a time")
            << QByteArray("Filter 1: ON Modal Fc 120 Hz Gain -6 dB Q 8 T60 target long\n");
    }
    void modalDecayTargetMustRead() {
        QFETCH(QByteArray, text);
        const FilterFile f = Read_Filter_File(text);
        QVERIFY(!f.ok);
        QCOMPARE(f.badLine, 1);
    }

    // A filter file saved by a Windows program in UTF-16 reads as the same text in UTF-8.
    void utf16Text() {
        const QString text = QString::fromUtf8("Notes:Fahrersitz – links\r\n"
                                               "Filter 1: ON PK Fc 63.5 Hz Gain -6 dB Q 4\r\n");
        QByteArray little("\xFF\xFE");
        for (const QChar c : text)
            little.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        const FilterFile f = Read_Filter_File(little);
        QVERIFY(f.ok);
        QCOMPARE(linesOf(f), QVector<int>{2});
        QCOMPARE(f.filters[0].fc, 63.5);
    }

    // Decimal commas and units written against the number, read by the measurement's reader.
    void numbersAsWritten() {
        const FilterFile f = Read_Filter_File("Filter 1: ON PK Fc 125,5Hz Gain -3,25dB Q 1,41\n");
        QVERIFY(f.ok);
        QCOMPARE(f.filters[0].fc, 125.5);
        QCOMPARE(f.filters[0].gain, -3.25);
        QCOMPARE(f.filters[0].q, 1.41);
    }

    // Each channel gets its own section and what is for every channel, never another's filters.
    void channelSections_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("channels");
        QTest::addColumn<QString>("channel");
        QTest::addColumn<QVector<int>>("lines");
        QTest::addColumn<double>("preamp");
        QTest::newRow("stereo pair, left") << QByteArray(kChannelSections) << QStringList{"L", "R"}
                                           << "L" << QVector<int>{3, 6, 7, 12} << -7.5;
        QTest::newRow("stereo pair, right") << QByteArray(kChannelSections) << QStringList{"L", "R"}
                                            << "R" << QVector<int>{3, 9, 10, 12} << -6.0;
        QTest::newRow("a section for both, then one for the right")
            << QByteArray("Channel: L R\n"
                          "Filter: ON PK Fc 100 Hz Gain -3 dB Q 2\n"
                          "Channel: r\n"
                          "Filter: ON PK Fc 200 Hz Gain -3 dB Q 2\n")
            << QStringList{"L", "R"} << "R" << QVector<int>{2, 4} << 0.0;
    }
    void channelSections() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, channels);
        QFETCH(QString, channel);
        QFETCH(QVector<int>, lines);
        QFETCH(double, preamp);
        const FilterFile file = Read_Filter_File(text);
        QVERIFY(file.ok);
        QCOMPARE(file.channels, channels);
        const FilterFile one = Filter_File_For(file, channel);
        QCOMPARE(linesOf(one), lines);
        QCOMPARE(one.preamp, preamp);
        QCOMPARE(Fit_Filters(one).applied, lines.size());
        const QStringList en = Filter_Import_Summary(one, Fit_Filters(one), 1, true).split('\n');
        QCOMPARE(en.value(1), QString("Taken from the file's filters for channel %1 (and those for "
                                      "every channel).")
                                  .arg(channel));
        const QStringList zh = Filter_Import_Summary(one, Fit_Filters(one), 1, false).split('\n');
        QCOMPARE(zh.value(1),
                 QString("取自文件中声道 %1 的滤波器（及适用于所有声道的滤波器）。").arg(channel));
    }

    // Taken as a whole, a file with sections yields only what is for every channel.
    void sectionsNeverMerged() {
        const FilterFit fit = Fit_Filters(Read_Filter_File(kChannelSections));
        QCOMPARE(fit.applied, 2);
        QVector<int> lines;
        for (int line : fit.bandLine)
            if (line) lines << line;
        QCOMPARE(lines, (QVector<int>{3, 12}));
    }

    void preferredChannel_data() {
        QTest::addColumn<QStringList>("channels");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("preferred");
        const QStringList pair{"L", "R"};
        const QStringList car{"L", "R", "RL", "RR", "SUB"};
        QTest::newRow("front left full range") << pair << 3 << 0;
        QTest::newRow("front right tweeter") << pair << 4 << 1;
        QTest::newRow("rear right woofer, pair") << pair << 14 << 1;
        QTest::newRow("rear right woofer, car") << car << 14 << 3;
        QTest::newRow("rear left, lower case") << QStringList{"l", "r", "rl"} << 8 << 2;
        QTest::newRow("centre, pair") << pair << 16 << -1;
        QTest::newRow("left subwoofer, car") << car << 17 << 4;
        QTest::newRow("right subwoofer, pair") << pair << 18 << 1;
        QTest::newRow("off") << car << 20 << -1;
        QTest::newRow("numbered channels") << QStringList{"1", "2"} << 0 << -1;
    }
    void preferredChannel() {
        QFETCH(QStringList, channels);
        QFETCH(int, role);
        QFETCH(int, preferred);
        QCOMPARE(Preferred_Channel(channels, uint8_t(role)), preferred);
    }

    // Nothing is set and the summary says so, with why each filter was left out.
    void nothingToImport_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("en");
        QTest::addColumn<QString>("zh");
        QTest::newRow("a shelf and an empty slot")
            << QByteArray("Filter Settings file\n\nEqualiser: Generic\nsub, 1st seat\n"
                          "Filter  1: ON  LS 12dB  Fc   80.00 Hz  Gain   4.00 dB\n"
                          "Filter  2: ON  None\n")
            << "The file holds no peaking filter that can be set into the EQ bands (only PK "
               "filters that are ON are imported). Nothing was changed.\n"
               "Not applied: line 5 LS 12dB (type not supported)"
            << "文件中没有可设置到均衡频段的峰值滤波器（仅导入已开启的 PK "
               "滤波器）。未作任何更改。\n"
               "未应用：第5行 LS 12dB（不支持的类型）";
        QTest::newRow("peaking filters switched off, with a preamp")
            << QByteArray("Preamp: -3 dB\nFilter 1: OFF PK Fc 100 Hz Gain -3 dB Q 2\n")
            << "The file holds no peaking filter that can be set into the EQ bands (only PK "
               "filters that are ON are imported). Nothing was changed.\n"
               "Preamp -3.0 dB in the file: not applied.\n"
               "Not applied: line 2 PK (switched off)"
            << "文件中没有可设置到均衡频段的峰值滤波器（仅导入已开启的 PK "
               "滤波器）。未作任何更改。\n"
               "文件中的前级增益 -3.0 dB：未应用。\n"
               "未应用：第2行 PK（已关闭）";
    }
    void nothingToImport() {
        QFETCH(QByteArray, text);
        QFETCH(QString, en);
        QFETCH(QString, zh);
        const FilterFile file = Read_Filter_File(text);
        QVERIFY(file.ok);
        const FilterFit fit = Fit_Filters(file);
        QCOMPARE(fit.applied, 0);
        QCOMPARE(Filter_Import_Summary(file, fit, 0, true), en);
        QCOMPARE(Filter_Import_Summary(file, fit, 0, false), zh);
    }

    // The largest difference is between the file's filters and the bands as set, both as the
    // standard peaking filter the file means: a -6 dB notch of Q 20, set at the largest Q, 10.
    void largestDifferenceOfTheFilesOwnShape_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("worstDb");
        QTest::addColumn<double>("worstFreq");
        QTest::addColumn<QString>("line");
        QTest::newRow("Q limited")
            << QByteArray("Filter  1: ON  PK       Fc   1000 Hz  Gain  -6.00 dB  Q  20.000\n")
            << 1.9216 << 962.46
            << "Largest difference from the file's peaking filters: 1.9 dB at 962 Hz.";
        QTest::newRow("gain limited")
            << QByteArray("Filter  1: ON  PK       Fc   1000 Hz  Gain -15.00 dB  Q  2.000\n")
            << 2.9852 << 988.89
            << "Largest difference from the file's peaking filters: 3.0 dB at 989 Hz.";
    }
    void largestDifferenceOfTheFilesOwnShape() {
        QFETCH(QByteArray, text);
        QFETCH(double, worstDb);
        QFETCH(double, worstFreq);
        QFETCH(QString, line);
        const FilterFile file = Read_Filter_File(text);
        const FilterFit fit = Fit_Filters(file);
        QVERIFY2(std::fabs(fit.worstDb - worstDb) < 0.0001,
                 qPrintable(QString::number(fit.worstDb)));
        QVERIFY(std::fabs(fit.worstFreq - worstFreq) < 0.01);
        QCOMPARE(Filter_Import_Summary(file, fit, 0, true).split('\n').last(), line);
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
        // Before the first filter line everything is header: no filter line at all.
        QTest::newRow("measurement data")
            << QByteArray("* Freq(Hz) SPL(dB)\n20 80.5\n21 80.6\n") << 0;
        QTest::newRow("numbers among the filters")
            << QByteArray("Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n20 80.5\n") << 2;
        QTest::newRow("channel line naming nothing")
            << QByteArray("Channel:\nFilter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n") << 1;
        QTest::newRow("gain no equaliser has")
            << QByteArray("Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n"
                          "Filter 2: ON PK Fc 100 Hz Gain 1e300 dB Q 2\n")
            << 2;
        QTest::newRow("preamp not a number") << QByteArray("Preamp: loud\n") << 1;
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n", 8) << 0;
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
        FilterFile file = Read_Filter_File(text);
        if (!file.channels.isEmpty()) file = Filter_File_For(file, file.channels.front());
        const FilterFit fit = Fit_Filters(file);
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
