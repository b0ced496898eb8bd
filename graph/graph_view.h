// The response graph as one widget: it owns the response curves (ResponseCurves), the band and
// crossover markers with their number labels, the overlay check boxes, the drag and hover state
// and the measurements, paints itself, and reports edits through signals. It reads the image and
// the edited channel (Pc.Cur_CH) and never writes them: the window hands its signals to the views
// and the session's refresh requests to showChanges.
#pragma once

#include "dsp/measurement.h"
#include "dsp/response_curves.h"
#include "dsp/scale.h"
#include "graph/graph_painter.h"
#include "model/param_image.h"

#include <QBrush>
#include <QPen>
#include <QStringList>
#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class DragPushButton;

namespace tarn {

class GraphView : public QWidget {
    Q_OBJECT

  public:
    explicit GraphView(QWidget* parent = nullptr);

    // Room around the plot inside the widget: level labels on the left, the readout above, the
    // band numbers' and markers' overhang on the right, frequency labels and the overlay boxes
    // below. At the smallest size (1116 x 276) the plot is columns 36..1095, rows 50..237.
    static constexpr int kPlotLeft = 36;
    static constexpr int kPlotTop = 50;
    static constexpr int kRightMargin = 20;
    static constexpr int kBottomMargin = 38;
    static constexpr QSize kMinimumSize{1116, 276};
    const GraphScale& scale() const { return scale_; }

    // The child widgets, with the object names users and tests know (the markers have none).
    const std::array<DragPushButton*, kBands>& bandMarkers() const { return bandMarker_; }
    const std::array<QLabel*, kBands>& bandLabels() const { return bandLabel_; } // Edit_Label_n
    DragPushButton* hpfMarker() const { return hpfMarker_; }
    DragPushButton* lpfMarker() const { return lpfMarker_; }
    // checkBox, checkBox_2 ... checkBox_6: the channels drawn as overlays.
    const std::array<QCheckBox*, kChannels>& curveChecks() const { return curveCheck_; }

    // ---- refresh from the image, for the edited channel ----
    // Band marker placed from the image; the band's number label follows its marker.
    void placeBandMarker(int band);
    // Recomputes channel ch's crossover row and puts both crossover markers on the curve.
    void crossoverCurveCalc(uint8_t ch, bool lowPass);
    // Recomputes the edited channel's EQ row and polyline and repaints.
    void eqChanged();
    // Schedules a repaint of the plot and its legend and puts the crossover markers back on
    // the curve, which moves under them when a band changes.
    void refresh();
    // What the editing session asks to be shown again (session/edit_session.h's families): the
    // band markers, the EQ row and the crossover rows and markers of the edited channel.
    void showChanges(unsigned families, int band);

    // ---- measurements: display only, one per channel, kept when another channel is shown ----
    // Kept as placed by where it plays (Place_Measurement).
    void setMeasurement(int ch, const Measurement& m);
    const Measurement& measurement(int ch) const;

    // ---- the level axis: +-20 dB (the typed limits), +-40 or +-60 dB over the plot's height ----
    // The mouse wheel over the graph steps through them; the markers keep their values.
    static constexpr int kLevelRanges[] = {20, 40, 60};
    void setLevelRange(int halfSpanDb);
    int levelRange() const { return levelRange_; }

    // ---- state, for the window and for tests ----
    int hoverX() const { return hoverX_; }  // pointer column over the plot, or -1
    bool crossoverHeld(bool lowPass) const; // a crossover marker is being dragged
    QString hoverReadout(int x) const;      // the readout for column x
    // What the readout box beside the pointer shows now: while a marker is dragged its values,
    // else over the plot the frequency and level under the pointer (and the measured and
    // predicted levels when a measurement is shown); empty otherwise.
    QStringList readoutLines() const;
    QRect readoutRect() const;   // where it is drawn; empty when nothing is shown
    QRect readoutBounds() const; // where a readout may go
    // Channel ch's curve as drawn on this plot, brought up to date with the image first.
    Polyline polyline(int ch) const;
    // The curves as they stand: rows, base-scale polylines, the crossover marker and line.
    const ResponseCurves& curves() const { return curves_; }

  signals:
    // A band marker moved to new values (PC gain encoding, whole hertz).
    void bandMoved(int band, int gain, int freq);
    // A crossover marker moved to a new corner frequency.
    void crossoverMoved(bool lowPass, int freq);
    // A band marker was double-clicked: flat, or back to its saved gain.
    void flatToggled(int band);
    // The mouse went down on a marker / came up: the steps between are one gesture.
    void gestureStarted();
    void gestureEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

  private:
    class ReadoutBox;

    void hover(QPoint pos);
    QPoint readoutAnchor() const;
    // Shows, moves or hides the readout box for what readoutLines() says now.
    void placeReadout();
    void placeCrossoverMarkers(uint8_t ch);
    void placeBand(int band, int x, int y);
    void bandDragged(int band);
    void crossoverDragged(bool lowPass);
    QRect plotRect() const;

    GraphScale scale_;
    // A cache of what the image gives: bringing it up to date while drawing (const) changes
    // nothing anyone can see but the time it takes.
    mutable ResponseCurves curves_;
    std::array<DragPushButton*, kBands> bandMarker_{};
    std::array<QLabel*, kBands> bandLabel_{};
    DragPushButton* hpfMarker_ = nullptr;
    DragPushButton* lpfMarker_ = nullptr;
    std::array<QCheckBox*, kChannels> curveCheck_{};
    ReadoutBox* readoutBox_ = nullptr;

    std::array<Measurement, kCurveChannels> measurements_{};
    bool dragHpf_ = false;
    bool dragLpf_ = false;
    int levelRange_ = 20;
    int wheelAngle_ = 0; // of the wheel turned since the last step
    int hoverX_ = -1;
    QPoint hoverPos_;
    int dragBand_ = -1; // the band marker held, or -1
    QPen pen_;
    QBrush brush_;
};

} // namespace tarn
