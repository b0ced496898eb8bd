// The EQ page on widgets of its own and an editing session of its own, without the main window: a
// user's action reaches the session (and the unit) through the page, and the page shows again what
// the session asks for (an undo) by itself.
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/edit_session.h"
#include "views/eq_page.h"

#include "tests/support/recording_sink.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

using namespace tarn;
using tarn::test::RecordingSink;

namespace {

// The page's widgets, as plain as they come, on a start-up image.
struct Page {
    QWidget host;
    EqPage::Widgets w;
    RecordingSink* sink = nullptr;
    std::unique_ptr<EditSession> session;
    EqPage* page = nullptr;

    Page() {
        Param_Init();
        Pc = PcState{};
        Chan = ChannelEditState{};
        auto named = [this](auto* widget, const QString& name) {
            widget->setParent(&host);
            widget->setObjectName(name);
            return widget;
        };
        w.BT_PEQ = named(new QPushButton, QStringLiteral("BT_PEQ"));
        w.BT_GEQ = named(new QPushButton, QStringLiteral("BT_GEQ"));
        w.BT_EQ_BYPASS = named(new QPushButton, QStringLiteral("BT_EQ_BYPASS"));
        w.BT_EQ_RESET = named(new QPushButton, QStringLiteral("BT_EQ_RESET"));
        w.label_15 = named(new QLabel, QStringLiteral("label_15"));
        for (size_t b = 0; b < kBands; ++b) {
            const QString n = QString::number(b + 1);
            w.eqGainSlider[b] = named(new QSlider, QStringLiteral("Slider_EQ_Gain_Bar_") + n);
            w.eqGainSlider[b]->setRange(0, 240);
            w.eqGainSlider[b]->setValue(120);
            w.eqGain[b] = named(new QLineEdit, QStringLiteral("Edit_EQ_Gain_") + n);
            w.eqFreq[b] = named(new QLineEdit, QStringLiteral("Edit_EQ_Freq_") + n);
            w.eqQ[b] = named(new QLineEdit, QStringLiteral("Edit_EQ_Q_") + n);
            w.bandButton[b] = named(new QPushButton, QStringLiteral("BT_LED_") + n);
        }
        auto recording = std::make_unique<RecordingSink>();
        sink = recording.get();
        session = std::make_unique<EditSession>(Param_Image, Pc, Chan, std::move(recording));
        session->core().Sliders_From_Image();
        page = new EqPage(w, *session, &host);
        page->refresh();
    }
    void type(QLineEdit* entry, const QString& text) {
        entry->setText(text);
        emit entry->returnPressed();
    }
};

} // namespace

class TestEqPage : public QObject {
    Q_OBJECT

  private slots:
    void typedGainIsSentAndShown();
    void undoIsShownByThePageItself();
    void refusedTextShowsTheStoredValue();
    void geqModeLocksFrequencyAndQ();
};

void TestEqPage::typedGainIsSentAndShown() {
    Page p;
    p.type(p.w.eqGain[2], QStringLiteral("3"));
    QCOMPARE(p.sink->take(), QStringList{"0508000220000e011e"});
    QCOMPARE(p.w.eqGain[2]->text(), QStringLiteral("3.0"));
    QCOMPARE(p.w.eqGainSlider[2]->value(), 150);
    QCOMPARE(int(Param_Image.EQ_Gain(0, 2)), 150);
}

void TestEqPage::undoIsShownByThePageItself() {
    Page p;
    p.type(p.w.eqGain[2], QStringLiteral("3.0"));
    p.sink->take();
    p.session->undo();
    QCOMPARE(p.w.eqGain[2]->text(), QStringLiteral("0.0"));
    QCOMPARE(p.w.eqGainSlider[2]->value(), 120);
    QCOMPARE(p.sink->take(), QStringList{"050800022000f0001e"});
}

void TestEqPage::refusedTextShowsTheStoredValue() {
    Page p;
    const QString freq = p.w.eqFreq[4]->text();
    p.type(p.w.eqFreq[4], QStringLiteral("loud"));
    QCOMPARE(p.w.eqFreq[4]->text(), freq);
    QVERIFY(p.sink->take().isEmpty());
    QVERIFY(!p.session->canUndo());
}

void TestEqPage::geqModeLocksFrequencyAndQ() {
    Page p;
    p.w.BT_GEQ->click();
    QVERIFY(!p.w.eqFreq[0]->isEnabled());
    QVERIFY(!p.w.eqQ[30]->isEnabled());
    QVERIFY(p.w.eqGain[0]->isEnabled());
    QCOMPARE(int(Pc.EQ_Mode), 0);
    p.w.BT_PEQ->click();
    QVERIFY(p.w.eqFreq[0]->isEnabled());
    QCOMPARE(int(Pc.EQ_Mode), 1);
}

QTEST_MAIN(TestEqPage)
#include "test_eq_page.moc"
