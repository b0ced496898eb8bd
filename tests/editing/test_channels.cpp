// Channel selection and the left/right link on the real window against the simulated unit: the
// channel buttons, the link dialog's two synchronise passes, what reaches the unit, and unlink.
#include "app/form.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/edit_session.h"
#include "session/link_rules.h"
#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"
#include "views/channel_bar_link_form.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>
#include <algorithm>

using namespace tarn;
using tarn::test::WindowFixture;

namespace {

namespace so = sim::off;

bool lit(const QPushButton* b) {
    return b->styleSheet().contains("rgb(204, 204, 204)");
}

// A band in the unit's memory; pcGain in the PC encoding (the unit stores it + 120).
void setUnitBand(int ch, int b, int freq, int pcGain, int q) {
    sim::Unit& u = sim::unit();
    u.setU16(so::eqFreq(ch, b), uint16_t(freq));
    u.setU16(so::eqGain(ch, b), uint16_t(pcGain + 120));
    u.memory()[so::eqQ(ch, b)] = uint8_t(q);
}

void setUnitFilters(int ch, int hpfFreq, int hpfSlope, int hpfOff, int hpfType, int lpfFreq,
                    int lpfSlope, int lpfOff, int lpfType) {
    sim::Unit& u = sim::unit();
    u.setU16(so::HpfFreq + 2 * size_t(ch), uint16_t(hpfFreq));
    u.memory()[so::HpfSlope + ch] = uint8_t(hpfSlope);
    u.memory()[so::HpfOff + ch] = uint8_t(hpfOff);
    u.memory()[so::HpfType + ch] = uint8_t(hpfType);
    u.setU16(so::LpfFreq + 2 * size_t(ch), uint16_t(lpfFreq));
    u.memory()[so::LpfSlope + ch] = uint8_t(lpfSlope);
    u.memory()[so::LpfOff + ch] = uint8_t(lpfOff);
    u.memory()[so::LpfType + ch] = uint8_t(lpfType);
}

// The unit's EQ of a channel (bypass, then every band) and its two filters, as bytes.
QByteArray unitEq(int ch) {
    const sim::Memory& m = sim::unit().memory();
    QByteArray out;
    out.append(char(m[so::EqBypass + ch]));
    for (int b = 0; b < kBands; ++b) {
        for (size_t at : {so::eqFreq(ch, b), so::eqFreq(ch, b) + 1, so::eqGain(ch, b),
                          so::eqGain(ch, b) + 1, so::eqQ(ch, b)})
            out.append(char(m[at]));
    }
    return out.toHex();
}
QByteArray unitFilters(int ch) {
    const sim::Memory& m = sim::unit().memory();
    QByteArray out;
    for (size_t base : {so::HpfFreq, so::LpfFreq}) {
        out.append(char(m[base + 2 * size_t(ch)]));
        out.append(char(m[base + 2 * size_t(ch) + 1]));
    }
    for (size_t base :
         {so::HpfSlope, so::HpfOff, so::HpfType, so::LpfSlope, so::LpfOff, so::LpfType})
        out.append(char(m[base + size_t(ch)]));
    return out.toHex();
}

// CH1 and CH2 made different in every way a copy can change: bypass, gains inside the slider
// range, a band whose gain equals the other channel's but whose frequency differs, a band with
// only its Q changed, a band with only its frequency changed, and both filters.
void prepareTwoDifferentChannels() {
    sim::unit().memory()[so::EqBypass + 0] = 1;
    setUnitBand(0, 2, 32, 150, 30);   // gain +3.0 dB
    setUnitBand(1, 2, 35, 150, 30);   // same gain, other frequency
    setUnitBand(0, 5, 70, 120, 30);   // frequency only
    setUnitBand(0, 10, 200, 120, 55); // Q only
    setUnitBand(1, 14, 500, 60, 30);  // CH2's own cut
    setUnitBand(0, 20, 2000, 200, 20);
    setUnitFilters(0, 80, 3, 0, 1, 5000, 1, 0, 2);
    setUnitFilters(1, 20, 3, 1, 0, 20000, 3, 1, 0);
}

// Bands of channel ch carried by the band commands among the frames, in order.
QList<int> bandsSent(const std::vector<QByteArray>& writes, int ch) {
    QList<int> bands;
    for (const QByteArray& p : writes)
        if (p.size() == 9 && p[1] == 0x08 && p[2] == ch) bands << int(uint8_t(p[3]));
    return bands;
}

int countCode(const std::vector<QByteArray>& writes, uint8_t code, int ch) {
    return int(std::count_if(writes.begin(), writes.end(), [&](const QByteArray& p) {
        return p.size() >= 3 && uint8_t(p[1]) == code && p[2] == ch;
    }));
}

LinkForm* visibleLinkForm() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<LinkForm*>(w); form && form->isVisible()) return form;
    return nullptr;
}

LinkForm* openLinkForm(WindowFixture& f) {
    QTest::mouseClick(f.ui().BT_LINK, Qt::LeftButton);
    return visibleLinkForm();
}

template <typename T> T* child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

// On the indicator: the middle of a wide radio button may lie past its text.
void clickRadio(QWidget* form, const char* name) {
    QRadioButton* r = child<QRadioButton>(form, name);
    QTest::mouseClick(r, Qt::LeftButton, Qt::NoModifier, QPoint(6, r->height() / 2));
}

void synchronise(QWidget* form) {
    QTest::mouseClick(child<QPushButton>(form, "pushButton"), Qt::LeftButton);
}

} // namespace

class TestChannels : public QObject {
    Q_OBJECT

  private slots:
    void cleanup();

    void channelButtonSelects_data();
    void channelButtonSelects();
    void switchResendsBandsWhoseSliderMoves();
    void linkCopyRule_data();
    void linkCopyRule();
    void synchroniseBringsTheUnitInLine_data();
    void synchroniseBringsTheUnitInLine();
    void synchroniseSendsATypedGainBeyondTheSlider();
    void synchroniseCopiesByMode_data();
    void synchroniseCopiesByMode();
    void unpairedRolesLinkNothing_data();
    void unpairedRolesLinkNothing();
    void unlinkFromEitherSide_data();
    void unlinkFromEitherSide();
    void closeChangesNothing();
    void undoOfASynchroniseGivesBackTheMode();
    void dialogNamesThePair_data();
    void dialogNamesThePair();
    void chosenOptionsStandOut();
    void offlineSynchroniseChangesOnlyThePc();
    void dialogTextsFramelessAndDrag_data();
    void dialogTextsFramelessAndDrag();
};

void TestChannels::cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<LinkForm*>(w)) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestChannels::channelButtonSelects_data() {
    QTest::addColumn<int>("ch");
    for (int ch = 0; ch < kChannels; ++ch)
        QTest::addRow("BT_CH%d", ch + 1) << ch;
}

void TestChannels::channelButtonSelects() {
    QFETCH(int, ch);
    WindowFixture f;
    // A channel with something of its own to show.
    setUnitBand(3, 7, 100, 170, 30);
    sim::unit().setU16(so::HpfFreq + 6, 120);
    sim::unit().setU16(so::ChVol + 6, 500);
    QVERIFY(f.connect());
    Form& ui = f.ui();
    QTest::mouseClick(ui.chButton[3], Qt::LeftButton);
    QCOMPARE(int(Pc.Cur_CH), 3);
    QCOMPARE(ui.eqGainSlider[7]->value(), 170);
    QCOMPARE(ui.Edit_HPF_Freq->text(), QString("120"));
    QCOMPARE(ui.chVol[3]->text(), QString("-10.0dB"));

    QTest::mouseClick(ui.chButton[ch], Qt::LeftButton);
    QCOMPARE(int(Pc.Cur_CH), ch);
    QCOMPARE(int(Pc.Cur_Band), 0);
    for (int k = 0; k < kChannels; ++k)
        QCOMPARE(lit(ui.chButton[k]), k == ch);
    QCOMPARE(ui.eqGainSlider[7]->value(), int(Param_Image.EQ_Gain(ch, 7)));
}

// Showing another channel runs the slider handler of exactly the bands whose slider value
// differs, and that handler sends them (with the shown channel's unchanged values).
void TestChannels::switchResendsBandsWhoseSliderMoves() {
    WindowFixture f;
    setUnitBand(0, 3, 40, 150, 30);
    setUnitBand(0, 4, 50, 100, 30);
    setUnitBand(0, 6, 70, 120, 44);  // Q differs, slider equal
    setUnitBand(1, 9, 150, 120, 30); // frequency differs, slider equal
    QVERIFY(f.connect());
    f.clearFrames();
    QTest::mouseClick(f.ui().chButton[1], Qt::LeftButton);
    const auto writes = f.writes();
    QCOMPARE(bandsSent(writes, 1), (QList<int>{3, 4}));
    QCOMPARE(int(writes.size()), 2);
    QCOMPARE(writes[0].toHex(), QByteArray("050801032800f0001e")); // 40 Hz, flat (120 + 120), Q 3.0
}

void TestChannels::linkCopyRule_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("eq");
    QTest::addColumn<bool>("filters");
    QTest::newRow("filters and EQ") << int(LinkEqAndFilters) << true << true;
    QTest::newRow("EQ only") << int(LinkEqOnly) << true << false;
    QTest::newRow("filters only") << int(LinkFiltersOnly) << false << true;
    QTest::newRow("unknown mode: filters") << 7 << false << true;
}

void TestChannels::linkCopyRule() {
    QFETCH(int, mode);
    QFETCH(bool, eq);
    QFETCH(bool, filters);
    ParamImage image;
    for (int b = 0; b < kBands; ++b) {
        image.set_EQ_Freq(0, b, kDefaultBandFreq[b]);
        image.set_EQ_Gain(0, b, kGainFlat);
        image.set_EQ_Q(0, b, 30);
        image.set_EQ_Freq(4, b, kDefaultBandFreq[b]);
        image.set_EQ_Gain(4, b, kGainFlat);
        image.set_EQ_Q(4, b, 30);
    }
    image.set_EQ_Bypass(0, 1);
    image.set_EQ_Gain(0, 0, 65456); // -20.0 dB as typed
    image.set_EQ_Freq(0, 12, 333);
    image.set_EQ_Q(0, 30, 99);
    image.set_HPF_Freq(0, 90);
    image.set_HPF_Off(0, 1);
    image.set_LPF_Type(0, 2);
    image.set_LPF_Slope(0, 6);
    const ParamImage before = image;

    const LinkCopyChange change = Link_Parameter_Copy(image, 4, 0, uint8_t(mode));
    QCOMPARE(change.eq, eq);
    QCOMPARE(change.filters, filters);
    QCOMPARE(change.bypass, eq);
    QCOMPARE(change.bands, eq ? (1u << 0 | 1u << 12 | 1u << 30) : 0u);
    QCOMPARE(int(image.EQ_Bypass(4)), eq ? 1 : 0);
    QCOMPARE(int(image.EQ_Gain(4, 0)), eq ? 65456 : 120);
    QCOMPARE(int(image.EQ_Freq(4, 12)), eq ? 333 : 315);
    QCOMPARE(int(image.EQ_Q(4, 30)), eq ? 99 : 30);
    QCOMPARE(int(image.HPF_Freq(4)), filters ? 90 : 0);
    QCOMPARE(int(image.HPF_Off(4)), filters ? 1 : 0);
    QCOMPARE(int(image.LPF_Type(4)), filters ? 2 : 0);
    QCOMPARE(int(image.LPF_Slope(4)), filters ? 6 : 0);
    // The source and every other channel stay as they were.
    for (int ch : {0, 1, 2, 3, 5}) {
        QCOMPARE(image.EQ_Bypass(ch), before.EQ_Bypass(ch));
        QCOMPARE(image.HPF_Freq(ch), before.HPF_Freq(ch));
        for (int b = 0; b < kBands; ++b)
            QCOMPARE(image.EQ_Gain(ch, b), before.EQ_Gain(ch, b));
    }
}

// Start-up roles: CH1 is FL-FULL, CH2 FR-FULL. Whichever of the two is edited, the left
// reference copies CH1 into CH2 and the right reference CH2 into CH1; the receiving channel is
// selected, and the unit ends up holding the same copy the window shows.
void TestChannels::synchroniseBringsTheUnitInLine_data() {
    QTest::addColumn<int>("edited");
    QTest::addColumn<bool>("rightBased");
    QTest::addColumn<int>("dst");
    QTest::newRow("CH1, left reference (first pass)") << 0 << false << 1;
    QTest::newRow("CH2, left reference (second pass)") << 1 << false << 1;
    QTest::newRow("CH2, right reference (first pass)") << 1 << true << 0;
    QTest::newRow("CH1, right reference (second pass)") << 0 << true << 0;
}

void TestChannels::synchroniseBringsTheUnitInLine() {
    QFETCH(int, edited);
    QFETCH(bool, rightBased);
    QFETCH(int, dst);
    const int src = 1 - dst;
    WindowFixture f;
    prepareTwoDifferentChannels();
    QVERIFY(f.connect());
    Form& ui = f.ui();
    const QByteArray srcEq = unitEq(src);
    const QByteArray srcFilters = unitFilters(src);
    QVERIFY(unitEq(dst) != srcEq);
    const ParamImage before = Param_Image;
    uint32_t differing = 0;
    for (int b = 0; b < kBands; ++b)
        if (before.EQ_Freq(0, b) != before.EQ_Freq(1, b) ||
            before.EQ_Gain(0, b) != before.EQ_Gain(1, b) || before.EQ_Q(0, b) != before.EQ_Q(1, b))
            differing |= 1u << b;

    QTest::mouseClick(ui.chButton[edited], Qt::LeftButton);
    f.clearFrames();
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    QPointer<LinkForm> alive(form);
    QVERIFY(!lit(ui.BT_LINK));
    if (rightBased) clickRadio(form, "radioButton_2");
    synchronise(form);
    QVERIFY(!alive || !alive->isVisible());

    QCOMPARE(int(Pc.Cur_CH), dst);
    QVERIFY(lit(ui.chButton[dst]));
    QVERIFY(lit(ui.BT_LINK));
    QCOMPARE(int(Pc.Link_Matrix[0][1]), 1);
    QCOMPARE(int(Pc.Link_Matrix[1][0]), 1);
    QCOMPARE(int(Chan.Link_Active), 1);
    QCOMPARE(int(Chan.Link_Base), rightBased ? 1 : 0);
    QCOMPARE(int(Pc.Link_Mode[dst]), int(LinkEqAndFilters));

    // The unit holds the copy, and the reference is untouched.
    QCOMPARE(unitEq(dst), srcEq);
    QCOMPARE(unitFilters(dst), srcFilters);
    QCOMPARE(unitEq(src), srcEq);
    QCOMPARE(unitFilters(src), srcFilters);

    // Each band the copy changed went out once; the others not at all.
    const auto writes = f.writes();
    QList<int> sent = bandsSent(writes, dst);
    std::sort(sent.begin(), sent.end());
    QList<int> expected;
    for (int b = 0; b < kBands; ++b)
        if (differing & (1u << b)) expected << b;
    QCOMPARE(sent, expected);
    QCOMPARE(countCode(writes, 0x06, dst), 1);
    QCOMPARE(countCode(writes, 0x07, dst), 1);
    QCOMPARE(countCode(writes, 0x0B, dst), 1);
    QCOMPARE(countCode(writes, 0x06, src), 0);
}

// A gain beyond the slider's +-12 dB (no entry gives one any more; an image an earlier version
// left in the mirror might) is shown at the slider's end stop without running the slider's
// handler; the synchronise must still send it.
void TestChannels::synchroniseSendsATypedGainBeyondTheSlider() {
    WindowFixture f;
    QVERIFY(f.connect());
    Param_Image.set_EQ_Gain(0, 8, 320);
    f.window().session().imageReplaced();
    f.clearFrames();
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    synchronise(form);
    QCOMPARE(int(Pc.Cur_CH), 1);
    QCOMPARE(bandsSent(f.writes(), 1), QList<int>{8});
    QCOMPARE(sim::unit().u16(so::eqGain(1, 8)), uint16_t(440));
}

void TestChannels::synchroniseCopiesByMode_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("eq");
    QTest::addColumn<bool>("filters");
    QTest::newRow("Joint Filter") << "radioButton_3" << int(LinkFiltersOnly) << false << true;
    QTest::newRow("Joint EQ") << "radioButton_4" << int(LinkEqOnly) << true << false;
    QTest::newRow("Joint EQ and Filter")
        << "radioButton_5" << int(LinkEqAndFilters) << true << true;
}

void TestChannels::synchroniseCopiesByMode() {
    QFETCH(QString, radio);
    QFETCH(int, mode);
    QFETCH(bool, eq);
    QFETCH(bool, filters);
    WindowFixture f;
    prepareTwoDifferentChannels();
    QVERIFY(f.connect());
    const QByteArray eq1 = unitEq(0), eq2 = unitEq(1);
    const QByteArray filters1 = unitFilters(0), filters2 = unitFilters(1);
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    clickRadio(form, qPrintable(radio));
    QCOMPARE(int(Pc.Link_Mode[0]), int(LinkEqAndFilters)); // only the synchronise takes it
    f.clearFrames();
    synchronise(form);
    QCOMPARE(int(Pc.Link_Mode[0]), mode);
    QCOMPARE(int(Pc.Link_Mode[1]), mode);
    QCOMPARE(unitEq(1), eq ? eq1 : eq2);
    QCOMPARE(unitFilters(1), filters ? filters1 : filters2);
    QCOMPARE(countCode(f.writes(), 0x0B, 1), eq ? 1 : 0);
}

void TestChannels::unpairedRolesLinkNothing_data() {
    QTest::addColumn<int>("ch");
    QTest::newRow("CH5 centre") << 4;
    QTest::newRow("CH6 single subwoofer") << 5;
}

void TestChannels::unpairedRolesLinkNothing() {
    QFETCH(int, ch);
    WindowFixture f;
    QVERIFY(f.connect());
    QTest::mouseClick(f.ui().chButton[ch], Qt::LeftButton);
    f.clearFrames();
    const ParamImage before = Param_Image;
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    QPointer<LinkForm> alive(form);
    synchronise(form);
    QVERIFY(!alive || !alive->isVisible());
    QCOMPARE(int(Chan.Link_Active), 1);
    QCOMPARE(int(Pc.Cur_CH), ch);
    for (const auto& row : Pc.Link_Matrix)
        QVERIFY(std::all_of(row.begin(), row.end(), [](uint8_t v) { return v == 0; }));
    QVERIFY(!lit(f.ui().BT_LINK));
    QVERIFY(before.bytes() == Param_Image.bytes());
    QVERIFY(f.writes().empty());
}

void TestChannels::unlinkFromEitherSide_data() {
    QTest::addColumn<int>("from");
    QTest::newRow("from CH1") << 0;
    QTest::newRow("from CH2") << 1;
}

void TestChannels::unlinkFromEitherSide() {
    QFETCH(int, from);
    WindowFixture f;
    prepareTwoDifferentChannels();
    QVERIFY(f.connect());
    Form& ui = f.ui();
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    synchronise(form);
    QVERIFY(lit(ui.BT_LINK));

    // The link button follows the shown channel.
    QTest::mouseClick(ui.chButton[2], Qt::LeftButton);
    QVERIFY(!lit(ui.BT_LINK));
    QTest::mouseClick(ui.chButton[from], Qt::LeftButton);
    QVERIFY(lit(ui.BT_LINK));

    const ParamImage before = Param_Image;
    f.clearFrames();
    QTest::mouseClick(ui.BT_LINK, Qt::LeftButton);
    QVERIFY(!visibleLinkForm()); // unlinking opens no dialog
    QCOMPARE(int(Pc.Link_Matrix[0][1]), 0);
    QCOMPARE(int(Pc.Link_Matrix[1][0]), 0);
    QVERIFY(!lit(ui.BT_LINK));
    QCOMPARE(int(Chan.Link_Base), int(kLinkBaseNone));
    QCOMPARE(int(Chan.Link_Active), 0);
    QVERIFY(before.bytes() == Param_Image.bytes());
    QVERIFY(f.writes().empty());

    // Unlinked, an EQ edit of CH1 stays on CH1.
    QTest::mouseClick(ui.chButton[0], Qt::LeftButton);
    f.clearFrames();
    ui.eqGainSlider[4]->setValue(90);
    QCOMPARE(bandsSent(f.writes(), 0), QList<int>{4});
    QCOMPARE(bandsSent(f.writes(), 1), QList<int>{});
    // And the button opens the dialog again.
    QVERIFY(openLinkForm(f));
}

void TestChannels::closeChangesNothing() {
    WindowFixture f;
    QVERIFY(f.connect());
    const ParamImage before = Param_Image;
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    QPointer<LinkForm> alive(form);
    clickRadio(form, "radioButton_2");
    clickRadio(form, "radioButton_4");
    f.clearFrames();
    QTest::mouseClick(child<QPushButton>(form, "BT_CLOSE"), Qt::LeftButton);
    QVERIFY(!alive || !alive->isVisible());
    QCOMPARE(int(Chan.Link_Base), int(kLinkBaseLeft));
    QCOMPARE(int(Pc.Link_Mode[0]), int(LinkEqAndFilters));
    QCOMPARE(int(Chan.Link_Active), 0);
    QCOMPARE(int(Pc.Link_Matrix[0][1]), 0);
    QVERIFY(before.bytes() == Param_Image.bytes());
    QVERIFY(f.payloads().empty());
    // Each click makes a fresh dialog with the start-up choices.
    LinkForm* again = openLinkForm(f);
    QVERIFY(again);
    QVERIFY(child<QRadioButton>(again, "radioButton_1")->isChecked());
    QVERIFY(child<QRadioButton>(again, "radioButton_5")->isChecked());
}

// CH1 and CH2 linked with EQ and filters by one dialog, then synchronised again with filters only
// by a second dialog opened before the first was used; undoing that second synchronise gives back
// the mode in force before it, so an EQ edit of CH1 again reaches CH2.
void TestChannels::undoOfASynchroniseGivesBackTheMode() {
    WindowFixture f;
    prepareTwoDifferentChannels();
    QVERIFY(f.connect());
    Form& ui = f.ui();
    LinkForm* first = openLinkForm(f);
    QVERIFY(first);
    QTest::mouseClick(ui.BT_LINK, Qt::LeftButton);
    LinkForm* second = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<LinkForm*>(w); form && form != first && form->isVisible())
            second = form;
    QVERIFY(second);
    synchronise(first);
    QCOMPARE(int(Pc.Link_Matrix[0][1]), 1);
    QTest::mouseClick(ui.chButton[0], Qt::LeftButton);
    clickRadio(second, "radioButton_3");
    synchronise(second);
    QCOMPARE(int(Pc.Link_Mode[0]), int(LinkFiltersOnly));
    QCOMPARE(int(Pc.Link_Mode[1]), int(LinkFiltersOnly));

    f.window().menus.undo->trigger();
    QCOMPARE(int(Pc.Link_Mode[0]), int(LinkEqAndFilters));
    QCOMPARE(int(Pc.Link_Mode[1]), int(LinkEqAndFilters));
    QCOMPARE(int(Pc.Link_Matrix[0][1]), 1);
    QCOMPARE(int(Chan.Link_Active), 1);

    QTest::mouseClick(ui.chButton[0], Qt::LeftButton);
    f.clearFrames();
    ui.eqGainSlider[2]->setValue(90); // band 3 at 32 Hz, Q 30: -3.0 dB
    const std::vector<QByteArray> expected{QByteArray::fromHex("050801022000d2001e"),
                                           QByteArray::fromHex("050800022000d2001e")};
    QCOMPARE(f.writes(), expected);
}

// The dialog names the channels a synchronise pairs and which way it copies, from the roles.
void TestChannels::dialogNamesThePair_data() {
    QTest::addColumn<int>("english");
    QTest::addColumn<int>("edited");
    QTest::addColumn<bool>("rightBased");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CH1, left reference")
        << 0 << 0 << false << QString("配对：CH1 前左全频 → CH2 前右全频");
    QTest::newRow("CH2, left reference")
        << 1 << 1 << false << QString("Pair: CH1 FL-FULL → CH2 FR-FULL");
    QTest::newRow("CH1, right reference")
        << 1 << 0 << true << QString("Pair: CH2 FR-FULL → CH1 FL-FULL");
    QTest::newRow("CH5 centre") << 1 << 4 << false
                                << QString("CH5 CEN-FULL has no left/right partner: Sync links "
                                           "nothing.");
    QTest::newRow("CH5 centre, Chinese")
        << 0 << 4 << false << QString("CH5 中置 没有左右配对的通道，同步不会联调任何通道。");
}

void TestChannels::dialogNamesThePair() {
    QFETCH(int, english);
    QFETCH(int, edited);
    QFETCH(bool, rightBased);
    QFETCH(QString, shown);
    WindowFixture f;
    Pc.Lang_EN = uint8_t(english);
    QTest::mouseClick(f.ui().chButton[edited], Qt::LeftButton);
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    if (rightBased) clickRadio(form, "radioButton_2");
    QCOMPARE(child<QLabel>(form, "Label_Pairs")->text(), shown);
}

// The chosen option of each group is marked by a filled blue dot; the others by an empty ring.
void TestChannels::chosenOptionsStandOut() {
    WindowFixture f;
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    clickRadio(form, "radioButton_4");
    const auto dotCentre = [&](const char* name) {
        QRadioButton* r = child<QRadioButton>(form, name);
        QStyleOptionButton option;
        option.initFrom(r);
        const QRect indicator =
            r->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, r);
        return QColor(r->grab().toImage().pixel(indicator.center()));
    };
    for (const char* chosen : {"radioButton_1", "radioButton_4"}) {
        const QColor c = dotCentre(chosen);
        QVERIFY2(c.blue() >= 180 && c.blue() - c.red() >= 100, chosen);
    }
    for (const char* other : {"radioButton_2", "radioButton_3", "radioButton_5"}) {
        const QColor c = dotCentre(other);
        QVERIFY2(c.blue() - c.red() < 30, other);
    }
}

void TestChannels::offlineSynchroniseChangesOnlyThePc() {
    WindowFixture f;
    Param_Image.set_EQ_Bypass(0, 1);
    Param_Image.set_EQ_Q(0, 6, 77);
    Param_Image.set_HPF_Freq(0, 150);
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    synchronise(form);
    QCOMPARE(int(Pc.Cur_CH), 1);
    QCOMPARE(int(Param_Image.EQ_Bypass(1)), 1);
    QCOMPARE(int(Param_Image.EQ_Q(1, 6)), 77);
    QCOMPARE(int(Param_Image.HPF_Freq(1)), 150);
    QCOMPARE(f.ui().Edit_HPF_Freq->text(), QString("150"));
    QVERIFY(f.payloads().empty());
}

void TestChannels::dialogTextsFramelessAndDrag_data() {
    QTest::addColumn<int>("english");
    QTest::addColumn<QStringList>(
        "texts"); // lineEdit, lineEdit_2, radio 1..2, lineEdit_3, radio 3..5, pushButton
    QTest::newRow("Chinese") << 0
                             << QStringList{"参数联调同步",   "联调基准",         "以左通道为基准",
                                            "以右通道为基准", "联调参数",         "滤波器联调",
                                            "均衡联调",       "滤波器和均衡联调", "立即同步"};
    QTest::newRow("English") << 1 << QStringList{"Left/right link",
                                                 "Copy from",
                                                 "The left channel",
                                                 "The right channel",
                                                 "Settings linked",
                                                 "Filters",
                                                 "EQ",
                                                 "EQ and filters",
                                                 "Sync now"};
}

void TestChannels::dialogTextsFramelessAndDrag() {
    QFETCH(int, english);
    QFETCH(QStringList, texts);
    WindowFixture f;
    Pc.Lang_EN = uint8_t(english);
    LinkForm* form = openLinkForm(f);
    QVERIFY(form);
    QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!form->isModal());
    QCOMPARE(form->windowTitle(), QString("左右联调"));
    const char* names[] = {"lineEdit",      "lineEdit_2",    "radioButton_1",
                           "radioButton_2", "lineEdit_3",    "radioButton_3",
                           "radioButton_4", "radioButton_5", "pushButton"};
    for (int i = 0; i < 9; ++i) {
        QWidget* w = child<QWidget>(form, names[i]);
        QVERIFY2(w, names[i]);
        const QString text = qobject_cast<QLineEdit*>(w)
                                 ? qobject_cast<QLineEdit*>(w)->text()
                                 : qobject_cast<QAbstractButton*>(w)->text();
        QCOMPARE(text, texts[i]);
    }

    // Dragged by the left button from anywhere on its background.
    const QPoint start = form->pos();
    const QPoint grab(150, 110);
    const QPoint globalGrab = start + grab;
    QMouseEvent press(QEvent::MouseButtonPress, grab, globalGrab, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(form, &press);
    QMouseEvent move(QEvent::MouseMove, grab, globalGrab + QPoint(40, 25), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &move);
    QCOMPARE(form->pos(), start + QPoint(40, 25));
}

QTEST_MAIN(TestChannels)
#include "test_channels.moc"
