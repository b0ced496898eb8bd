#include "graph/graph_view.h"

#include "dsp/response.h"
#include "graph/drag_push_button.h"
#include "graph/graph_texts.h"
#include "graph/grid.h"
#include "graph/marker_geometry.h"
#include "graph/overlay.h"
#include "session/edit_session.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

namespace tarn {

namespace {

const QString kHpfNormalImage = QStringLiteral(":/PNG/H_Nor.png");
const QString kHpfHeldImage = QStringLiteral(":/PNG/H_On.png");
const QString kLpfNormalImage = QStringLiteral(":/PNG/L_Nor.png");
const QString kLpfHeldImage = QStringLiteral(":/PNG/L_On.png");

// Overlay check boxes: a row under the frequency labels, one box per channel.
constexpr int kCheckX0 = 40;
constexpr int kCheckPitch = 96;
constexpr int kCheckBelowPlot = 14; // gap from the plot's last row

// A crossover marker is read where the move took it, by the exact inverse of its placement: the
// frequency it shows is kept while it stands on that frequency's place.
int Crossover_Read(const GraphScale& scale, const DragPushButton* marker, int freq) {
    return Freq_To_Pos(scale, freq) == marker->x() ? freq : Pos_To_Freq(scale, marker->x());
}

template <typename Array> int Index_Of(const Array& widgets, const QObject* watched) {
    for (size_t i = 0; i < widgets.size(); ++i)
        if (widgets[i] == watched) return static_cast<int>(i);
    return -1;
}

size_t at(int i) {
    return static_cast<size_t>(i);
}

} // namespace

// The readout box beside the pointer, a child above the markers and their numbers so that
// nothing on the graph covers it. Moving it repaints only where it was and where it goes.
class GraphView::ReadoutBox : public QWidget {
  public:
    explicit ReadoutBox(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("GraphReadout"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        hide();
    }
    void show(const QRect& box, const QStringList& lines) {
        if (lines != lines_) {
            lines_ = lines;
            update();
        }
        setGeometry(box);
        if (isHidden()) QWidget::show();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(parentWidget()->font());
        Paint_Readout_Box(painter, rect(), lines_);
    }

  private:
    QStringList lines_;
};

GraphView::GraphView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GraphView"));
    setMinimumSize(kMinimumSize);
    resize(kMinimumSize);
    const QFont small = Grid_Label_Font(font());

    for (int ch = 0; ch < kChannels; ++ch) {
        auto* box = new QCheckBox(this);
        const QString name =
            ch == 0 ? QStringLiteral("checkBox") : QStringLiteral("checkBox_%1").arg(ch + 1);
        box->setObjectName(name);
        const QColor c = Channel_Draw_Colour(ch);
        box->setStyleSheet(QStringLiteral("QCheckBox#%1{color: rgb(%2, %3, %4);}")
                               .arg(name)
                               .arg(c.red())
                               .arg(c.green())
                               .arg(c.blue()));
        box->setFont(font());
        curveCheck_[at(ch)] = box;
        connect(box, &QCheckBox::stateChanged, this, [this] { refresh(); });
    }

    // Band numbers, then the markers above them.
    for (int b = 0; b < kBands; ++b) {
        auto* number = new QLabel(QString::number(b + 1), this);
        number->setObjectName(QStringLiteral("Edit_Label_%1").arg(b + 1));
        number->setAlignment(Qt::AlignCenter);
        number->setFont(small);
        number->setStyleSheet(
            QStringLiteral("QLabel{color: rgb(255, 255, 255);background-color: transparent;}"));
        number->setAttribute(Qt::WA_TransparentForMouseEvents);
        bandLabel_[at(b)] = number;
    }
    for (int b = 0; b < kBands; ++b) {
        auto* marker = new DragPushButton(QString(), this);
        marker->installEventFilter(this);
        bandMarker_[at(b)] = marker;
        // A band marker is read after it has moved, from where it went.
        connect(marker, &DragPushButton::Drag_Moved, this, [this, b] { bandDragged(b); });
    }
    hpfMarker_ = new DragPushButton(QString(), this);
    lpfMarker_ = new DragPushButton(QString(), this);
    hpfMarker_->setGeometry(300, 152, kCrossoverMarkerSize, kCrossoverMarkerSize);
    lpfMarker_->setGeometry(1000, 152, kCrossoverMarkerSize, kCrossoverMarkerSize);
    hpfMarker_->setImage(kHpfNormalImage);
    lpfMarker_->setImage(kLpfNormalImage);
    for (bool lowPass : {false, true}) {
        DragPushButton* m = lowPass ? lpfMarker_ : hpfMarker_;
        m->installEventFilter(this);
        // Crossover markers too are read from where the move took them.
        connect(m, &DragPushButton::Drag_Moved, this,
                [this, lowPass] { crossoverDragged(lowPass); });
    }

    readoutBox_ = new ReadoutBox(this); // the last child: above every marker

    resizeEvent(nullptr);   // the scale, the markers' limits and places, the boxes' row
    setMouseTracking(true); // the hover readout
}

QRect GraphView::plotRect() const {
    return QRect(scale_.left, scale_.top, scale_.width, scale_.height);
}

// ---- layout: everything on the plot follows the widget's size ----

void GraphView::resizeEvent(QResizeEvent*) {
    scale_.left = kPlotLeft;
    scale_.top = kPlotTop;
    scale_.width = std::max(2, width() - kPlotLeft - kRightMargin);
    scale_.height = std::max(40, height() - kPlotTop - kBottomMargin);
    scale_.dbSpan = 2.0 * levelRange_;
    // The pixel a marker is read at stays on the plot.
    const QRect limits(QPoint(scale_.left - kMarkerCentre, scale_.top - kMarkerCentre),
                       QPoint(scale_.right() - kMarkerCentre, scale_.bottom() - kMarkerCentre));
    for (DragPushButton* m : bandMarker_)
        m->setDragLimits(limits);
    hpfMarker_->setDragLimits(limits);
    lpfMarker_->setDragLimits(limits);
    const int checkY = scale_.bottom() + kCheckBelowPlot;
    for (int ch = 0; ch < kChannels; ++ch)
        curveCheck_[at(ch)]->setGeometry(kCheckX0 + kCheckPitch * ch, checkY, 92, 22);
    for (int b = 0; b < kBands; ++b)
        placeBandMarker(b);
    refresh();
}

// ---- painting ----

Polyline GraphView::polyline(int ch) const {
    Polyline out{};
    if (ch < 0 || ch >= kChannels) return out;
    const auto c = static_cast<uint8_t>(ch);
    curves_.current(c);
    const ResponseCurves::Curve& drawn = curves_.drawn(c);
    out.reserve(static_cast<qsizetype>(drawn.size()));
    for (const ResponseCurves::CurvePoint& p : drawn) {
        const QPoint px(scale_.freqToPx(p.freq), scale_.dbToPy(p.db));
        if (out.isEmpty() || out.constLast() != px) out.append(px);
    }
    return out;
}

void GraphView::paintEvent(QPaintEvent*) {
    // Every checked box (any state but unchecked) adds its channel's curve.
    std::array<bool, kChannels> checked{};
    std::array<Polyline, kCurveChannels> lines{};
    const uint8_t cur = Pc.Cur_CH;
    for (int ch = 0; ch < kChannels; ++ch) {
        checked[at(ch)] = curveCheck_[at(ch)]->checkState() != Qt::Unchecked;
        // Whatever changed a drawn channel's fields, its curve is drawn as the fields now stand.
        if (checked[at(ch)] || ch == cur) lines[at(ch)] = polyline(ch);
    }
    QPainter painter(this);
    Paint_Underlay(painter, scale_, curves_, cur, measurements_[cur], hoverX_);
    Paint_Graph(painter, scale_, cur, checked, lines, scale_.freqToPx(Param_Image.HPF_Freq(cur)),
                scale_.freqToPx(Param_Image.LPF_Freq(cur)), pen_, brush_);
    Paint_Off_Scale(painter, scale_, Off_Scale_Marks(lines[at(cur)], scale_),
                    Channel_Draw_Colour(cur));

    QList<LegendEntry> legend{
        {Channel_Draw_Colour(cur), Qt::SolidLine, QStringLiteral("CH%1").arg(cur + 1)}};
    for (int ch = 0; ch < kChannels; ++ch)
        if (checked[at(ch)] && ch != cur)
            legend.append(
                {Channel_Draw_Colour(ch), Qt::SolidLine, QStringLiteral("CH%1").arg(ch + 1)});
    if (measurements_[cur].present) {
        legend.append({QColor(150, 150, 150), Qt::SolidLine, tr2(txt::GraphMeasured)});
        legend.append({QColor(235, 235, 235), Qt::DashLine, tr2(txt::GraphPredicted)});
    }
    Paint_Legend(painter, scale_, legend);
}

void GraphView::placeReadout() {
    const QStringList lines = readoutLines();
    if (lines.isEmpty()) {
        readoutBox_->hide();
        return;
    }
    readoutBox_->show(
        Readout_Box(readoutBounds(), readoutAnchor(), Readout_Size(Grid_Label_Font(font()), lines)),
        lines);
}

QPoint GraphView::readoutAnchor() const {
    if (dragBand_ >= 0) return bandMarker_[at(dragBand_)]->geometry().center();
    if (dragHpf_ || dragLpf_) return (dragLpf_ ? lpfMarker_ : hpfMarker_)->geometry().center();
    return hoverPos_;
}

QStringList GraphView::readoutLines() const {
    const uint8_t ch = Pc.Cur_CH;
    if (dragBand_ >= 0) {
        const int b = dragBand_;
        return {tr2(Fill_Text(txt::ReadoutBand,
                              {QString::number(b + 1), Freq_Text(Param_Image.EQ_Freq(ch, b)),
                               Level_Text((Param_Image.EQ_Gain_Signed(ch, b) - kGainFlat) / 10.0),
                               QString::number(Param_Image.EQ_Q(ch, b) / 10.0, 'f', 1)}))};
    }
    if (dragHpf_ || dragLpf_) {
        const int f = dragLpf_ ? Param_Image.LPF_Freq(ch) : Param_Image.HPF_Freq(ch);
        return {
            tr2(Fill_Text(dragLpf_ ? txt::ReadoutLowPass : txt::ReadoutHighPass, {Freq_Text(f)}))};
    }
    if (hoverX_ < 0) return {};
    QStringList lines{hoverReadout(hoverX_)};
    const Measurement& m = measurements_[ch];
    double measured = 0;
    if (m.present && Grid_Level_At_X(scale_, m.covered, m.level, hoverX_ + 0.5, measured)) {
        std::array<double, kCurvePoints> predicted{};
        Predicted_Levels(curves_, ch, m, predicted);
        double p = 0;
        Grid_Level_At_X(scale_, m.covered, predicted, hoverX_ + 0.5, p);
        lines << tr2(Fill_Text(txt::ReadoutMeasured, {Level_Text(measured)}))
              << tr2(Fill_Text(txt::ReadoutPredicted, {Level_Text(p)}));
    }
    return lines;
}

QRect GraphView::readoutRect() const {
    const QStringList lines = readoutLines();
    if (lines.isEmpty()) return QRect();
    return Readout_Box(readoutBounds(), readoutAnchor(),
                       Readout_Size(Grid_Label_Font(font()), lines));
}

// The plot's rows across the whole widget: clear of the top band above and of the overlay boxes
// and the window's buttons below.
QRect GraphView::readoutBounds() const {
    return QRect(0, scale_.top, width(), scale_.height);
}

void GraphView::refresh() {
    placeCrossoverMarkers(Pc.Cur_CH);
    placeReadout();
    // The plot's rows across the widget (the readout box may stand beside the plot) and the
    // legend's row above them, which names the overlays and the measurement.
    update(QRect(0, scale_.top - 16, width(), scale_.height + 16));
}

void GraphView::showChanges(unsigned families, int band) {
    const uint8_t ch = Pc.Cur_CH;
    bool eq = false;
    if (families & RefreshEq) {
        for (int b = 0; b < kBands; ++b)
            placeBandMarker(b);
        eq = true;
    } else if ((families & RefreshBand) && band >= 0 && band < kBands) {
        placeBandMarker(band);
        eq = true;
    }
    if (eq) curves_.eqCalc(ch);
    if (families & RefreshCrossover) {
        crossoverCurveCalc(ch, false); // the rows also place the markers and their lines
        crossoverCurveCalc(ch, true);
    }
    if (!eq && !(families & RefreshCrossover)) return;
    curves_.pointsUpdate(ch);
    refresh();
}

void GraphView::eqChanged() {
    curves_.eqCalc(Pc.Cur_CH);
    curves_.pointsUpdate(Pc.Cur_CH);
    refresh();
}

// ---- hover ----

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    hover(event->pos());
    event->ignore(); // the window may be dragging itself
}

void GraphView::leaveEvent(QEvent*) {
    hover(QPoint(-1, -1));
}

void GraphView::hover(QPoint pos) {
    const int x = plotRect().contains(pos) ? pos.x() : -1;
    if (x == hoverX_ && (x < 0 || pos == hoverPos_)) return;
    // Only the hover line's old and new columns are painted again; the readout box is a child
    // and repaints where it leaves and where it goes.
    for (int column : {hoverX_, x})
        if (column >= 0) update(QRect(column, scale_.top, 1, scale_.height));
    hoverX_ = x;
    hoverPos_ = pos;
    placeReadout();
}

QString GraphView::hoverReadout(int x) const {
    curves_.current(Pc.Cur_CH);
    return Hover_Readout(curves_, scale_, Pc.Cur_CH, x);
}

// ---- markers ----

// The crossover markers of the edited channel: on their corner's column, their middle on the drawn
// curve at the corner (the curve moves under them when a band changes, so this follows every
// repaint request).
void GraphView::placeCrossoverMarkers(uint8_t ch) {
    curves_.current(ch);
    for (bool lowPass : {false, true}) {
        const int x =
            Freq_To_Pos(scale_, lowPass ? Param_Image.LPF_Freq(ch) : Param_Image.HPF_Freq(ch));
        const int top =
            Crossover_Marker_Top(scale_, curves_.dbAtX(scale_, ch, x + kMarkerCentre + 0.5));
        (lowPass ? lpfMarker_ : hpfMarker_)->setGeometry(Crossover_Marker_Rect(x, top));
    }
}

void GraphView::crossoverCurveCalc(uint8_t ch, bool lowPass) {
    curves_.crossoverCalc(ch, !lowPass);
    placeCrossoverMarkers(ch);
}

void GraphView::placeBand(int band, int x, int y) {
    bandMarker_[at(band)]->setGeometry(Band_Marker_Rect(x, y));
    bandLabel_[at(band)]->setGeometry(Band_Label_Rect(x, y));
}

void GraphView::placeBandMarker(int band) {
    placeBand(band, Freq_To_Pos(scale_, Param_Image.EQ_Freq(Pc.Cur_CH, band)),
              Gain_To_Marker_Y(scale_, Param_Image.EQ_Gain_Signed(Pc.Cur_CH, band)));
}

bool GraphView::crossoverHeld(bool lowPass) const {
    return lowPass ? dragLpf_ : dragHpf_;
}

void GraphView::setMeasurement(int ch, const Measurement& m) {
    if (ch < 0 || ch >= kChannels) return;
    measurements_[at(ch)] = Place_Measurement(m);
    refresh();
}

void GraphView::setLevelRange(int halfSpanDb) {
    if (std::find(std::begin(kLevelRanges), std::end(kLevelRanges), halfSpanDb) ==
            std::end(kLevelRanges) ||
        halfSpanDb == levelRange_)
        return;
    levelRange_ = halfSpanDb;
    resizeEvent(nullptr); // the scale, and every marker placed on it again
    update();
}

void GraphView::wheelEvent(QWheelEvent* event) {
    // One step per notch (120): turned away from the user it zooms in (a smaller range), towards
    // the user out.
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / 120;
    wheelAngle_ -= steps * 120;
    const int* range = std::find(std::begin(kLevelRanges), std::end(kLevelRanges), levelRange_);
    const auto index = std::clamp(static_cast<int>(range - std::begin(kLevelRanges)) - steps, 0,
                                  static_cast<int>(std::size(kLevelRanges)) - 1);
    setLevelRange(kLevelRanges[index]);
    event->accept();
}

bool GraphView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Written when asked, in the language chosen now.
        auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(
            help->globalPos(),
            tr2(Fill_Text(txt::GraphLevelRangeTip, {QStringLiteral("±%1 dB").arg(levelRange_)})),
            this);
        return true;
    }
    return QWidget::event(event);
}

const Measurement& GraphView::measurement(int ch) const {
    return measurements_[at(std::clamp(ch, 0, kChannels - 1))];
}

// ---- the markers' mouse events, seen before the markers move themselves ----

bool GraphView::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        emit gestureStarted(); // the steps of one drag are one undo step
        dragBand_ = Index_Of(bandMarker_, watched);
        if (watched == hpfMarker_) {
            hpfMarker_->setImage(kHpfHeldImage);
            dragHpf_ = true;
            hpfMarker_->setHoldTop(true);
        } else if (watched == lpfMarker_) {
            lpfMarker_->setImage(kLpfHeldImage);
            dragLpf_ = true;
            lpfMarker_->setHoldTop(true);
        }
        placeReadout(); // the held marker's values
        break;
    case QEvent::MouseButtonRelease: {
        hpfMarker_->setImage(kHpfNormalImage);
        lpfMarker_->setImage(kLpfNormalImage);
        const int band = Index_Of(bandMarker_, watched);
        dragBand_ = -1;
        if (band >= 0) {
            Pc.Cur_Band = static_cast<uint8_t>(band);
            eqChanged();
            placeBandMarker(band);
        } else if (dragHpf_) {
            dragHpf_ = false;
            hpfMarker_->setHoldTop(false);
            refresh();
        } else if (dragLpf_) {
            dragLpf_ = false;
            lpfMarker_->setHoldTop(false);
            refresh();
        }
        emit gestureEnded();
        break;
    }
    case QEvent::MouseButtonDblClick: {
        const int band = Index_Of(bandMarker_, watched);
        if (band >= 0) emit flatToggled(band);
        break;
    }
    default:
        break;
    }
    return false; // the marker always gets the event too
}

void GraphView::crossoverDragged(bool lowPass) {
    const uint8_t ch = Pc.Cur_CH;
    const int freq = lowPass ? Param_Image.LPF_Freq(ch) : Param_Image.HPF_Freq(ch);
    const int read = Crossover_Read(scale_, lowPass ? lpfMarker_ : hpfMarker_, freq);
    if (read == freq) {
        placeCrossoverMarkers(ch); // back on the frequency it shows
        return;
    }
    emit crossoverMoved(lowPass, read);
}

// Reads the band from where the marker went, by the exact inverse of its placement: a value the
// marker already shows is kept, so a step that does not move the marker changes nothing and the
// marker, placed again from the stored values, stays where the pointer left it.
void GraphView::bandDragged(int band) {
    if (band < 0 || band >= kBands) return;
    const uint8_t ch = Pc.Cur_CH;
    const DragPushButton* marker = bandMarker_[at(band)];
    const int gain = Param_Image.EQ_Gain_Signed(ch, band);
    const int freq = Param_Image.EQ_Freq(ch, band);
    const int newGain = Gain_To_Marker_Y(scale_, gain) == marker->y()
                            ? gain
                            : Marker_Y_To_Gain_Exact(scale_, marker->y());
    const int newFreq =
        Freq_To_Pos(scale_, freq) == marker->x() ? freq : Marker_X_To_Freq(scale_, marker->x());
    if (newGain == gain && newFreq == freq) {
        placeBandMarker(band); // back on the values it shows
        return;
    }
    emit bandMoved(band, newGain, newFreq);
}

} // namespace tarn
