// The window's side of the graph widget: its edits handed to the editing session, and the refresh
// calls the editing code makes on it.
#include "app/form.h"
#include "app/tarn80x.h"
#include "graph/graph_view.h"
#include "model/param_image.h"

#include <QEvent>
#include <QPushButton>

namespace tarn {

void Tarn80X::Graph_Connect() {
    GraphView* graph = ui->graph;
    connect(graph, &GraphView::gestureStarted, this, [this] { Begin_Gesture(); });
    connect(graph, &GraphView::flatToggled, this, &Tarn80X::Band_Flat_Toggle);
    connect(graph, &GraphView::bandMoved, this, [this](int band, int gain, int freq) {
        BandEdit edit;
        edit.gain = gain;
        edit.freq = freq;
        edit.moveSlider = true;
        Edit(
            RefreshBand, [&] { core->Band_Edit(band, edit); }, Gesture::MarkerDrag, band);
    });
    connect(graph, &GraphView::crossoverMoved, this, [this](bool lowPass, int freq) {
        FilterEdit edit;
        edit.freq = freq;
        edit.sendFirst = true;
        Edit(
            RefreshCrossover, [&] { core->Filter_Edit(lowPass, edit); }, Gesture::MarkerDrag);
    });
}

void Tarn80X::Graph_Repaint() {
    ui->graph->refresh();
}

void Tarn80X::HPF_Curve_Calc(uint8_t ch) {
    ui->graph->crossoverCurveCalc(ch, false);
}

void Tarn80X::LPF_Curve_Calc(uint8_t ch) {
    ui->graph->crossoverCurveCalc(ch, true);
}

void Tarn80X::Place_Band_Marker_By_Gain(int band) {
    ui->graph->placeBandMarkerByGain(band);
}

void Tarn80X::Place_Band_Marker_By_Freq(int band) {
    ui->graph->placeBandMarkerByFreq(band);
}

void Tarn80X::Place_Band_Marker(int band) {
    ui->graph->placeBandMarker(band);
}

void Tarn80X::Band_Flat_Toggle(int band) {
    Edit(
        RefreshBand, [&] { core->Band_Flat_Toggle(band); }, Gesture::None, band);
}

// A double-click on a band's LED button sets the band flat and back, as one on its marker does.
void Tarn80X::Band_Button_EventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return;
    for (int b = 0; b < kBands; ++b)
        if (ui->bandButton[static_cast<size_t>(b)] == watched) Band_Flat_Toggle(b);
}

} // namespace tarn
