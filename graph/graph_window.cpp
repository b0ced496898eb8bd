// The main window's part of the response graph: painting, the markers' event-filter branches,
// the drag slots, the band flat/restore double-click and marker placement.
#include "app/form.h"
#include "app/tarn80x.h"
#include "graph/curve_cache.h"
#include "graph/drag_push_button.h"
#include "graph/graph_painter.h"
#include "graph/marker_geometry.h"
#include "graph/overlay.h"
#include "graph/response.h"
#include "model/param_image.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

namespace tarn {

namespace {

const char kHpfNormalStyle[] =
    "DragPushButton{border-image: url(:/PNG/H_Nor.png);background-color: transparent;}";
const char kHpfHeldStyle[] =
    "DragPushButton{border-image: url(:/PNG/H_On.png);background-color: transparent;}";
const char kLpfNormalStyle[] =
    "DragPushButton{border-image: url(:/PNG/L_Nor.png);background-color: transparent;}";
const char kLpfHeldStyle[] =
    "DragPushButton{border-image: url(:/PNG/L_On.png);background-color: transparent;}";
const char kLpfStartStyle[] =
    "DragPushButton{border-image: url(:/PNG/L_Nor.png);background-color: transparent;} "
    "DragPushButton#BT_Mark_LPF:pressed{border-image: url(:/PNG/L_On.png);}";

void Set_Style(QWidget* w, const char* style) {
    const QString s = QString::fromLatin1(style);
    if (w->styleSheet() != s) w->setStyleSheet(s);
}

// The crossover markers of the edited channel: on their corner's column, their middle on the drawn
// curve at the corner (the curve moves under them when a band changes, so this follows every
// repaint request).
void Place_Crossover_Markers(Form* ui, uint8_t ch) {
    Curves_Current(ch);
    const auto top = [ch](int markerX) {
        return Crossover_Marker_Top(Curve_Db_At_X(ch, markerX + kMarkerCentre + 0.5));
    };
    ui->hpfMarker->setGeometry(Crossover_Marker_Rect(HPF_Marker_X, top(HPF_Marker_X)));
    ui->lpfMarker->setGeometry(Crossover_Marker_Rect(LPF_Marker_X, top(LPF_Marker_X)));
}

// A crossover marker is read where the move took it, by the exact inverse of its placement: the
// frequency it shows is kept while it stands on that frequency's place.
int Crossover_Read(const DragPushButton* marker, int freq) {
    return Freq_To_Pos(freq) == marker->x() ? freq : Pos_To_Freq(marker->x());
}

template <typename Array> int Index_Of(const Array& widgets, const QObject* watched) {
    for (size_t i = 0; i < widgets.size(); ++i)
        if (widgets[i] == watched) return static_cast<int>(i);
    return -1;
}

} // namespace

void Tarn80X::Graph_Init() {
    Curve_Init();
    ui->hpfMarker->setGeometry(300, 152, 16, 16);
    ui->lpfMarker->setGeometry(1000, 152, 16, 16);
    ui->hpfMarker->setStyleSheet(kHpfNormalStyle);
    ui->lpfMarker->setStyleSheet(kLpfStartStyle);
    for (int b = 0; b < kBands; ++b) {
        ui->bandLabel[static_cast<size_t>(b)]->setText(QString::number(b + 1));
        Place_Band_Marker(b);
        // A band marker is read after it has moved, from where it went.
        connect(ui->bandMarker[static_cast<size_t>(b)], &DragPushButton::Drag_Moved, this,
                [this, b] { Mark_Point_Update_Change(b); });
    }
    // Crossover markers too are read from where the move took them.
    connect(ui->hpfMarker, &DragPushButton::Drag_Moved, this,
            [this] { HPF_Point_Update_Change(); });
    connect(ui->lpfMarker, &DragPushButton::Drag_Moved, this,
            [this] { LPF_Point_Update_Change(); });
    for (QCheckBox* box : ui->curveCheck)
        connect(box, &QCheckBox::stateChanged, this, [this] { Graph_Repaint(); });
    setMouseTracking(true); // the hover readout
}

void Tarn80X::Graph_Paint(QPaintEvent*) {
    {
        QStyleOption option;
        option.initFrom(this);
        QPainter background(this);
        style()->drawPrimitive(QStyle::PE_Widget, &option, &background, this);
    }
    // Every checked box (any state but unchecked) adds its channel's curve.
    std::array<bool, kChannels> checked{};
    for (int ch = 0; ch < kChannels; ++ch)
        checked[static_cast<size_t>(ch)] =
            ui->curveCheck[static_cast<size_t>(ch)]->checkState() != Qt::Unchecked;
    // Whatever changed a drawn channel's fields, its curve is drawn as the fields now stand.
    Curves_Current(Pc.Cur_CH);
    for (int ch = 0; ch < kChannels; ++ch)
        if (checked[static_cast<size_t>(ch)]) Curves_Current(static_cast<uint8_t>(ch));
    QPainter painter(this);
    Paint_Underlay(painter, Pc.Cur_CH);
    Paint_Graph(painter, Pc.Cur_CH, checked, pen, brush);
}

void Tarn80X::Graph_Hover(QPoint pos) {
    const bool over = pos.x() >= kGraphLeft && pos.x() < kGraphLeft + kGraphWidth &&
                      pos.y() >= kGraphTop && pos.y() < kGraphTop + kGraphHeight;
    const int x = over ? pos.x() : -1;
    if (x == Graph_Hover_X) return;
    Graph_Hover_X = x;
    Graph_Repaint();
    update(Hover_Readout_Rect());
}

void Tarn80X::Graph_Repaint() {
    Place_Crossover_Markers(ui, Pc.Cur_CH);
    update(QRect(kGraphLeft, kGraphTop, kGraphWidth, kGraphHeight));
}

// ---- curves that also move widgets ----

void Tarn80X::HPF_Curve_Calc(uint8_t ch) {
    tarn::HPF_Curve_Calc(ch);
    Place_Crossover_Markers(ui, ch);
}

void Tarn80X::LPF_Curve_Calc(uint8_t ch) {
    tarn::LPF_Curve_Calc(ch);
    Place_Crossover_Markers(ui, ch);
}

// ---- band marker placement ----

namespace {
void Place_Band(Form* ui, int band, int x, int y) {
    ui->bandMarker[static_cast<size_t>(band)]->setGeometry(Band_Marker_Rect(x, y));
    ui->bandLabel[static_cast<size_t>(band)]->setGeometry(Band_Label_Rect(x, y));
}
} // namespace

void Tarn80X::Place_Band_Marker_By_Gain(int band) {
    Place_Band(ui, band, ui->bandMarker[static_cast<size_t>(band)]->x(),
               Gain_To_Marker_Y(Param_Image.EQ_Gain_Signed(Pc.Cur_CH, band)));
}

void Tarn80X::Place_Band_Marker_By_Freq(int band) {
    Place_Band(ui, band, Freq_To_Pos(Param_Image.EQ_Freq(Pc.Cur_CH, band)),
               ui->bandMarker[static_cast<size_t>(band)]->y());
}

void Tarn80X::Place_Band_Marker(int band) {
    Place_Band(ui, band, Freq_To_Pos(Param_Image.EQ_Freq(Pc.Cur_CH, band)),
               Gain_To_Marker_Y(Param_Image.EQ_Gain_Signed(Pc.Cur_CH, band)));
}

// ---- event filter: markers and the band buttons ----

void Tarn80X::Graph_EventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Begin_Gesture(); // the steps of one drag are one undo step
        if (watched == ui->hpfMarker) {
            Set_Style(ui->hpfMarker, kHpfHeldStyle);
            Drag_HPF = 1;
        } else if (watched == ui->lpfMarker) {
            Set_Style(ui->lpfMarker, kLpfHeldStyle);
            Drag_LPF = 1;
        }
        break;
    case QEvent::MouseButtonRelease: {
        Set_Style(ui->hpfMarker, kHpfNormalStyle);
        Set_Style(ui->lpfMarker, kLpfNormalStyle);
        const int band = Index_Of(ui->bandMarker, watched);
        if (band >= 0) {
            Pc.Cur_Band = static_cast<uint8_t>(band);
            tarn::EQ_Curve_Calc(Pc.Cur_CH);
            Curve_Points_Update(Pc.Cur_CH);
            Graph_Repaint();
            Place_Band_Marker(band);
        } else if (Drag_HPF) {
            Drag_HPF = 0;
            Graph_Repaint();
        } else if (Drag_LPF) {
            Drag_LPF = 0;
            Graph_Repaint();
        }
        break;
    }
    case QEvent::MouseButtonDblClick: {
        const int band = Index_Of(ui->bandButton, watched);
        if (band >= 0) Band_Flat_Toggle(band);
        break;
    }
    default:
        break;
    }
}

void Tarn80X::Band_Flat_Toggle(int band) {
    Edit(
        RefreshBand, [&] { core->Band_Flat_Toggle(band); }, Gesture::None, band);
}

// ---- drag slots ----

void Tarn80X::HPF_Point_Update_Change() {
    const int freq = Param_Image.HPF_Freq(Pc.Cur_CH);
    FilterEdit edit;
    edit.freq = Crossover_Read(ui->hpfMarker, freq);
    if (*edit.freq == freq) {
        Place_Crossover_Markers(ui, Pc.Cur_CH); // back on the frequency it shows
        return;
    }
    edit.sendFirst = true;
    Edit(
        RefreshCrossover, [&] { core->Filter_Edit(false, edit); }, Gesture::MarkerDrag);
}

void Tarn80X::LPF_Point_Update_Change() {
    const int freq = Param_Image.LPF_Freq(Pc.Cur_CH);
    FilterEdit edit;
    edit.freq = Crossover_Read(ui->lpfMarker, freq);
    if (*edit.freq == freq) {
        Place_Crossover_Markers(ui, Pc.Cur_CH);
        return;
    }
    edit.sendFirst = true;
    Edit(
        RefreshCrossover, [&] { core->Filter_Edit(true, edit); }, Gesture::MarkerDrag);
}

// Reads the band from where the marker went, by the exact inverse of its placement: a value the
// marker already shows is kept, so a step that does not move the marker changes nothing and the
// marker, placed again from the stored values, stays where the pointer left it.
void Tarn80X::Mark_Point_Update_Change(int Band) {
    if (Band < 0 || Band >= kBands) return;
    const uint8_t ch = Pc.Cur_CH;
    const DragPushButton* marker = ui->bandMarker[static_cast<size_t>(Band)];
    const int gain = Param_Image.EQ_Gain_Signed(ch, Band);
    const int freq = Param_Image.EQ_Freq(ch, Band);
    BandEdit edit;
    edit.gain = Gain_To_Marker_Y(gain) == marker->y() ? gain : Marker_Y_To_Gain_Exact(marker->y());
    edit.freq = Freq_To_Pos(freq) == marker->x() ? freq : Marker_X_To_Freq(marker->x());
    edit.moveSlider = true;
    if (*edit.gain == gain && *edit.freq == freq) {
        Place_Band_Marker(Band); // back on the values it shows
        return;
    }
    Edit(
        RefreshBand, [&] { core->Band_Edit(Band, edit); }, Gesture::MarkerDrag, Band);
}

} // namespace tarn
