// The graph widget alone, without the main window: it reports edits through its signals and moves
// nothing in the image itself; a drag reads through the exact inverse of the placement at any
// size of the widget.
#include "dsp/response.h"
#include "graph/drag_push_button.h"
#include "graph/graph_painter.h"
#include "graph/graph_view.h"
#include "graph/grid.h"
#include "model/param_image.h"
#include "session/edit_session.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace tarn;

namespace {

// A drag as the window system delivers it: positions relative to wherever the marker is when the
// event arrives, the button grabbed by the marker. Cursor positions are in the widget's pixels.
void press(DragPushButton* m, QPoint grab) {
    QTest::mousePress(m, Qt::LeftButton, Qt::NoModifier, grab);
}
void moveTo(DragPushButton* m, QPoint cursor) {
    const QPoint local = cursor - m->pos();
    QMouseEvent ev(QEvent::MouseMove, local, m->mapToGlobal(local), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
    QApplication::sendEvent(m, &ev);
}
void hoverAt(QWidget* w, QPoint pos) {
    QMouseEvent ev(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}
void release(DragPushButton* m, QPoint cursor) {
    QTest::mouseRelease(m, Qt::LeftButton, Qt::NoModifier, cursor - m->pos());
}

} // namespace

class TestGraphView : public QObject {
    Q_OBJECT

    std::unique_ptr<GraphView> view;

    // What the window does with a band move, in small: store the values, place the marker again.
    void storeBandMoves() {
        connect(view.get(), &GraphView::bandMoved, view.get(), [this](int b, int gain, int freq) {
            Param_Image.set_EQ_Gain(Pc.Cur_CH, b, static_cast<uint16_t>(gain));
            Param_Image.set_EQ_Freq(Pc.Cur_CH, b, static_cast<uint16_t>(freq));
            view->placeBandMarker(b);
        });
    }

  private slots:
    void init() {
        Param_Init();
        Pc.Cur_CH = 0;
        Pc.Cur_Band = 0;
        view = std::make_unique<GraphView>();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void cleanup() { view.reset(); }

    // The widgets users and tests find by name are the graph's own children.
    void ownsItsNamedWidgets() {
        QCOMPARE(view->size(), QSize(1116, 276));
        for (const char* name :
             {"checkBox", "checkBox_2", "checkBox_6", "Edit_Label_1", "Edit_Label_31"})
            QVERIFY2(view->findChild<QWidget*>(name), name);
        QCOMPARE(view->findChildren<DragPushButton*>().size(), qsizetype(33));
        QCOMPARE(view->bandLabels()[30]->text(), QString("31"));
        QCOMPARE(view->curveChecks()[2]->geometry(), QRect(232, 251, 92, 22));
        // The markers paint their images themselves, without a style sheet.
        DragPushButton* band = view->bandMarkers()[10];
        QCOMPARE(band->image(), QString(":/PNG/Marker.png"));
        QCOMPARE(view->hpfMarker()->image(), QString(":/PNG/H_Nor.png"));
        QVERIFY(band->styleSheet().isEmpty());
        const QImage img = view->grab().toImage();
        const QImage shown = band->grab().toImage();
        QVERIFY(QColor(img.pixel(band->geometry().center())) !=
                QColor(img.pixel(band->geometry().center() + QPoint(0, 20))));
        QVERIFY(!shown.isNull());
    }

    // Each graph keeps its own curves: one made later starts from the start-up places and leaves
    // the first one's rows and crossover line as they were.
    void curvesAreTheGraphsOwn() {
        Param_Image.set_HPF_Freq(0, 100);
        Param_Image.set_EQ_Gain(0, 17, 240); // +12 dB at 1 kHz, Q 3
        view->showChanges(RefreshEq | RefreshCrossover, -1);
        QCOMPARE(view->curves().line(true), QLine(283, 50, 283, 238)); // 100 Hz on column 283
        QCOMPARE(view->curves().points(0)[72].y(), 88);
        GraphView other;
        QCOMPARE(other.curves().line(true), QLine(66, 50, 66, 238));
        QCOMPARE(view->curves().line(true), QLine(283, 50, 283, 238));
        QCOMPARE(view->curves().points(0)[72].y(), 88);
    }

    void bandDragAtTwoSizes_data();
    void bandDragAtTwoSizes();
    void dragSignalsOnlyAndOneGesture();
    void crossoverDragReportsTheCorner();
    void doubleClickOnMarkerTogglesFlat();
    void hoverFollowsThePointerAndLeaves();
    void coloursReadOnTheBackground_data();
    void coloursReadOnTheBackground();
    void readoutBesideThePointer();
    void readoutAboveTheMarkers();
    void offScaleShownAtTheEdge();
    void levelRangeByTheWheel();
    void narrowPeakReadAndDrawnInFull_data();
    void narrowPeakReadAndDrawnInFull();
};

// Contrast against rgb(57, 57, 57) by the accessibility guidelines' formula (python3): red 2.89:1
// and blue 1.34:1 are mixed with white in twentieths until 3:1 (3/20: 3.06, 9/20: 3.09).
void TestGraphView::coloursReadOnTheBackground_data() {
    QTest::addColumn<int>("ch");
    QTest::addColumn<QColor>("drawn");
    QTest::newRow("CH1 red, lightened") << 0 << QColor(255, 38, 38);
    QTest::newRow("CH2 yellow, as is") << 1 << QColor(255, 246, 0);
    QTest::newRow("CH3 blue, lightened") << 2 << QColor(115, 115, 255);
    QTest::newRow("CH6 orange, as is") << 5 << QColor(255, 180, 0);
}
void TestGraphView::coloursReadOnTheBackground() {
    QFETCH(int, ch);
    QFETCH(QColor, drawn);
    QCOMPARE(Channel_Draw_Colour(ch), drawn);
    QVERIFY(Contrast_Ratio(drawn, QColor(57, 57, 57)) >= 3.0);
    QVERIFY(view->curveChecks()[size_t(ch)]->styleSheet().contains(
        QString("rgb(%1, %2, %3)").arg(drawn.red()).arg(drawn.green()).arg(drawn.blue())));
}

// Over the plot the readout sits beside the pointer, inside the widget, and names the measured
// and predicted levels when a measurement is shown; while a band marker is held it shows that
// band; when the pointer leaves it is gone.
void TestGraphView::readoutBesideThePointer() {
    Pc.Lang_EN = 1;
    Measurement m;
    m.present = true;
    m.covered.fill(true);
    m.level.fill(-3.0); // placed on 0 dB: a flat response's loudest octave is all of it
    view->setMeasurement(0, m);
    hoverAt(view.get(), QPoint(636, 120));
    QCOMPARE(view->readoutLines(),
             (QStringList{"1.00 kHz  0.0 dB", "Measured 0.0 dB", "Predicted 0.0 dB"}));
    QCOMPARE(view->readoutRect().topLeft(), QPoint(650, 134)); // 14 right of and below
    hoverAt(view.get(), QPoint(1090, 230)); // bottom right: the box flips to stay inside
    const QRect box = view->readoutRect();
    QVERIFY(view->readoutBounds().contains(box));
    QCOMPARE(box.right(), 1090 - 14 - 1);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.get(), &leave);
    QVERIFY(view->readoutLines().isEmpty());
    QVERIFY(view->readoutRect().isNull());

    DragPushButton* marker = view->bandMarkers()[10];
    press(marker, QPoint(5, 5));
    QCOMPARE(view->readoutLines(), QStringList{"Band 11  200 Hz  0.0 dB  Q 3.0"});
    Pc.Lang_EN = 0;
    QCOMPARE(view->readoutLines(), QStringList{"第11段  200 Hz  0.0 dB  Q 3.0"});
    release(marker, QPoint(5, 5));
    QVERIFY(view->readoutLines().isEmpty());
}

void TestGraphView::bandDragAtTwoSizes_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("start"); // band 11 (200 Hz, 0.0 dB) placed
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<int>("freq");
    QTest::addColumn<int>("gain");
    QTest::addColumn<QPoint>("placed");
    // Plot of w x h widget pixels: columns 36 .. w - 21, rows 50 .. h - 39. Column c reads
    // 20 * 10^(3 * (c + 0.5 - 36.5) / (w - 57)) Hz, row r reads (z + 0.5 - (r + 0.5)) / p dB with
    // z = 50 + (h - 88) / 2 the 0 dB row and p = (h - 88) / 40 px/dB (worked with python3).
    // Smallest: 1059 columns, 0 dB on row 144, 4.7 px/dB.
    const QSize small(1116, 276);
    QTest::newRow("small, fully left")
        << small << QPoint(384, 139) << QPoint(-400, 144) << 20 << 120 << QPoint(31, 139);
    QTest::newRow("small, fully right")
        << small << QPoint(384, 139) << QPoint(3000, 144) << 20000 << 120 << QPoint(1090, 139);
    QTest::newRow("small, top") << small << QPoint(384, 139) << QPoint(389, -400) << 200 << 240
                                << QPoint(384, 83);
    QTest::newRow("small, 10 rows up: +2.1 dB")
        << small << QPoint(384, 139) << QPoint(389, 134) << 200 << 141 << QPoint(384, 129);
    QTest::newRow("small, 81 Hz +9.4 dB")
        << small << QPoint(384, 139) << QPoint(250, 100) << 81 << 214 << QPoint(245, 95);
    // The graph of a 1920 x 1080 window: 1719 columns, 0 dB on row 341, 14.55 px/dB.
    const QSize large(1776, 670);
    QTest::newRow("large, fully left")
        << large << QPoint(604, 336) << QPoint(-400, 341) << 20 << 120 << QPoint(31, 336);
    QTest::newRow("large, fully right")
        << large << QPoint(604, 336) << QPoint(3000, 341) << 20000 << 120 << QPoint(1750, 336);
    QTest::newRow("large, top: +12.0 dB")
        << large << QPoint(604, 336) << QPoint(609, -400) << 200 << 240 << QPoint(604, 161);
    QTest::newRow("large, bottom: -12.0 dB")
        << large << QPoint(604, 336) << QPoint(609, 900) << 200 << 0 << QPoint(604, 511);
    // Rows are finer than 0.1 dB here: 10 rows are 0.69 dB, stored as +0.7.
    QTest::newRow("large, 10 rows up: +0.7 dB")
        << large << QPoint(604, 336) << QPoint(609, 331) << 200 << 127 << QPoint(604, 326);
    QTest::newRow("large, 10 rows down: -0.7 dB")
        << large << QPoint(604, 336) << QPoint(609, 351) << 200 << 113 << QPoint(604, 346);
    QTest::newRow("large, right to 288 Hz")
        << large << QPoint(604, 336) << QPoint(700, 341) << 288 << 120 << QPoint(695, 336);
}

void TestGraphView::bandDragAtTwoSizes() {
    QFETCH(QSize, size);
    QFETCH(QPoint, start);
    QFETCH(QPoint, cursor);
    QFETCH(int, freq);
    QFETCH(int, gain);
    QFETCH(QPoint, placed);
    view->resize(size);
    storeBandMoves();
    const int b = 10;
    DragPushButton* m = view->bandMarkers()[b];
    QCOMPARE(m->pos(), start);
    press(m, QPoint(5, 5));
    moveTo(m, cursor);
    QCOMPARE(int(Param_Image.EQ_Freq(0, b)), freq);
    QCOMPARE(int(Param_Image.EQ_Gain(0, b)), gain);
    QCOMPARE(m->pos(), placed);
    QCOMPARE(view->bandLabels()[b]->pos(), placed - QPoint(0, 15));
    release(m, cursor);
    QCOMPARE(m->pos(), placed);
    QCOMPARE(int(Pc.Cur_Band), b);
}

// Alone, the widget only reports: the image keeps its values, a press without motion reports
// nothing, and press to release is one gesture.
void TestGraphView::dragSignalsOnlyAndOneGesture() {
    QSignalSpy moved(view.get(), &GraphView::bandMoved);
    QSignalSpy started(view.get(), &GraphView::gestureStarted);
    QSignalSpy ended(view.get(), &GraphView::gestureEnded);
    DragPushButton* m = view->bandMarkers()[4]; // 50 Hz on column 176
    press(m, QPoint(5, 5));
    moveTo(m, QPoint(176, 144));
    QCOMPARE(moved.size(), 0);
    moveTo(m, QPoint(176, 105)); // row 105: (144 - 105) / 4.7 = +8.3 dB
    moveTo(m, QPoint(460, 125)); // column 460: 318 Hz; row 125: +4.0 dB
    release(m, QPoint(460, 125));
    QCOMPARE(moved.size(), 2);
    QCOMPARE(moved[0], (QList<QVariant>{4, 203, 50}));
    QCOMPARE(moved[1], (QList<QVariant>{4, 160, 318}));
    QCOMPARE(started.size(), 1);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(int(Param_Image.EQ_Gain(0, 4)), 120);
    QCOMPARE(int(Param_Image.EQ_Freq(0, 4)), 50);
}

// The high-pass marker, held, moves sideways only and reports the corner it reads; released, it
// is no longer held.
void TestGraphView::crossoverDragReportsTheCorner() {
    Param_Image.set_HPF_Off(0, 0);
    Param_Image.set_HPF_Freq(0, 20);
    view->crossoverCurveCalc(0, false);
    DragPushButton* m = view->hpfMarker();
    const QPoint at = m->pos();
    QCOMPARE(at.x(), 31);
    QSignalSpy moved(view.get(), &GraphView::crossoverMoved);
    press(m, QPoint(8, 8));
    QVERIFY(view->crossoverHeld(false));
    // 200 right and 60 down: column 236 reads 20 * 10^(3 * 200 / 1059) = 74 Hz.
    moveTo(m, at + QPoint(208, 68));
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved[0], (QList<QVariant>{false, 74}));
    QCOMPARE(m->y(), at.y());
    release(m, at + QPoint(208, 68));
    QVERIFY(!view->crossoverHeld(false));
}

void TestGraphView::doubleClickOnMarkerTogglesFlat() {
    QSignalSpy flat(view.get(), &GraphView::flatToggled);
    QTest::mouseDClick(view->bandMarkers()[7], Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(flat.size(), 1);
    QCOMPARE(flat[0][0].toInt(), 7);
}

// The readout follows the pointer over the plot at any size and goes when the pointer leaves.
void TestGraphView::hoverFollowsThePointerAndLeaves() {
    Param_Image.set_EQ_Gain(0, 17, 180); // +6 dB at 1 kHz, Q 3
    for (const QSize size : {QSize(1116, 276), QSize(1776, 670)}) {
        view->resize(size);
        // 1 kHz: column floor(36.5 + c * log10(50) / 3) with c = 1059 or 1719.
        const int column = size.width() == 1116 ? 636 : 1010;
        hoverAt(view.get(), QPoint(column, 120));
        QCOMPARE(view->hoverX(), column);
        QVERIFY2(view->hoverReadout(column).startsWith(QString("1.00 kHz  +6.0 dB")),
                 qPrintable(view->hoverReadout(column)));
        hoverAt(view.get(), QPoint(column, 10)); // above the plot
        QCOMPARE(view->hoverX(), -1);
    }
    hoverAt(view.get(), QPoint(636, 120));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.get(), &leave);
    QCOMPARE(view->hoverX(), -1);
}

// The readout box covers a band marker it lies over: band 11's middle pixel (389, 144) is the
// box's padding when the pointer is at (372, 128) (box from (386, 142)).
void TestGraphView::readoutAboveTheMarkers() {
    const QColor box(30, 30, 32);
    QCOMPARE(view->bandMarkers()[10]->pos(), QPoint(384, 139));
    QVERIFY(QColor(view->grab().toImage().pixel(389, 144)) != box);
    hoverAt(view.get(), QPoint(372, 128));
    QCOMPARE(view->readoutRect().topLeft(), QPoint(386, 142));
    const QImage img = view->grab().toImage();
    QCOMPARE(QColor(img.pixel(389, 144)), box);
    QCOMPARE(QColor(img.pixel(388, 143)), box);
}

// Two bands at one frequency add up beyond the plot: +24 dB at 1 kHz (column 636) above its top,
// -24 dB at 100 Hz (column 283) below its bottom; a triangle in CH1's colour on the edge says so.
void TestGraphView::offScaleShownAtTheEdge() {
    for (int b : {16, 17}) {
        Param_Image.set_EQ_Freq(0, b, 1000);
        Param_Image.set_EQ_Gain(0, b, 240);
    }
    for (int b : {7, 8}) {
        Param_Image.set_EQ_Freq(0, b, 100);
        Param_Image.set_EQ_Gain(0, b, 0);
    }
    view->showChanges(RefreshEq, -1);
    QCOMPARE(Off_Scale_Marks(view->polyline(0), view->scale()),
             (QList<OffScaleMark>{{283, false}, {636, true}}));
    const QImage img = view->grab().toImage();
    QCOMPARE(QColor(img.pixel(636, 53)), QColor(255, 38, 38));
    QCOMPARE(QColor(img.pixel(283, 234)), QColor(255, 38, 38));
    // A curve on the plot has none.
    Polyline inside;
    inside << QPoint(36, 50) << QPoint(500, 237) << QPoint(1095, 144);
    QVERIFY(Off_Scale_Marks(inside, view->scale()).isEmpty());
}

// The wheel steps the level axis through +-20, +-40 and +-60 dB: the grid's labels, the rows
// (188 rows over 40, 80 or 120 dB) and the band markers follow; a marker keeps its value.
void TestGraphView::levelRangeByTheWheel() {
    Param_Image.set_EQ_Gain(0, 10, 240); // band 11, 200 Hz, +12 dB
    view->placeBandMarker(10);
    const auto wheel = [this](int angle) {
        QWheelEvent ev(QPointF(600, 140), view->mapToGlobal(QPointF(600, 140)), QPoint(),
                       QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.get(), &ev);
    };
    const struct {
        int angle, range, markerY; // marker middle row floor(144.5 - 12 * 188 / (2 * range))
        const char* top;           // the top level line's label
    } steps[] = {{120, 20, 88, "+18"},  {-120, 40, 116, "+36"}, {-60, 40, 116, "+36"},
                 {-60, 60, 125, "+54"}, {-120, 60, 125, "+54"}, {240, 20, 88, "+18"}};
    for (const auto& step : steps) {
        wheel(step.angle);
        QCOMPARE(view->levelRange(), step.range);
        QCOMPARE(view->bandMarkers()[10]->y() + 5, step.markerY);
        QCOMPARE(QString(Grid_Level_Lines(view->scale())[0].label), QString(step.top));
    }
    QCOMPARE(int(Param_Image.EQ_Gain(0, 10)), 240);
}

void TestGraphView::narrowPeakReadAndDrawnInFull_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("peakRow"); // the marker's middle row: floor(z + 0.5 - 12 p)
    QTest::addColumn<QList<int>>("columns");
    QTest::addColumn<QStringList>("readouts");
    // Band 18 at +12.0 dB, Q 10, 1 kHz. Column c reads f = 20 * 10^(3 * (c + 0.5 - 36.5) / n)
    // (n = 1059 or 1719 columns); the level there from the cookbook peaking biquad at 48 kHz
    // (python3): 988.74 Hz +11.2444, 995.21 Hz +11.8525, 1001.72 Hz +11.9808, 1008.28 Hz
    // +11.5811; on the large plot 993.95 Hz +11.7674, 997.95 Hz +11.9727, 1001.97 Hz +11.9748.
    QTest::newRow("smallest") << QSize(1116, 276) << 88 << QList<int>{634, 635, 636, 637}
                              << QStringList{"989 Hz  +11.2 dB", "995 Hz  +11.9 dB",
                                             "1.00 kHz  +12.0 dB", "1.01 kHz  +11.6 dB"};
    QTest::newRow("1920 x 1080 window")
        << QSize(1776, 670) << 166 << QList<int>{1008, 1009, 1010}
        << QStringList{"994 Hz  +11.8 dB", "998 Hz  +12.0 dB", "1.00 kHz  +12.0 dB"};
}

// A narrow band reads and is drawn at its full height: the readout is the level at the pointer's
// frequency, and the curve's top reaches the band marker's middle row.
void TestGraphView::narrowPeakReadAndDrawnInFull() {
    QFETCH(QSize, size);
    QFETCH(int, peakRow);
    QFETCH(QList<int>, columns);
    QFETCH(QStringList, readouts);
    view->resize(size);
    Param_Image.set_EQ_Gain(0, 17, 240);
    Param_Image.set_EQ_Q(0, 17, 100);
    view->showChanges(RefreshBand, 17);
    for (int k = 0; k < columns.size(); ++k)
        QCOMPARE(view->hoverReadout(columns[k]), readouts[k]);
    QCOMPARE(view->bandMarkers()[17]->y() + 5, peakRow);
    int top = 100000;
    for (const QPoint& p : view->polyline(0))
        top = std::min(top, p.y());
    QCOMPARE(top, peakRow);
}

QTEST_MAIN(TestGraphView)
#include "test_graph_view.moc"
