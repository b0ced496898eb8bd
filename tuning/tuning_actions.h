// The tuning actions: the option entries that import a measurement or a filter file for the edited
// channel and open the distance dialog, and the two bulk edits they lead to. The window places the
// entries in its option menu.
#pragma once

#include "dsp/measurement.h"
#include "session/bulk_edits.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <vector>

class QAction;
class QWidget;

namespace tarn {

class DistanceForm;
class EditSession;

class TuningActions : public QObject {
    Q_OBJECT

  public:
    TuningActions(EditSession& session, QWidget* window);

    // Import measurement, clear measurement, import EQ filters, distance alignment, auto EQ.
    const std::array<QAction*, 5>& entries() const { return entry; }
    void showTexts(bool en);

    void importMeasurement(); // for Cur_CH
    void clearMeasurement();
    void importEqFilters(); // into Cur_CH
    void alignDistances();
    void autoEq(); // Cur_CH against its imported measurement

    // Called before an automatic result changes the tune (the window keeps a history snapshot).
    void setBeforeAutomaticChange(std::function<void()> hook) { beforeAutomatic = std::move(hook); }

    // The two bulk edits. Each writes its fields into the mirror, copies them by the link rules,
    // sends them while online and shows them: one call is one user action (one undo step).
    void applyEqBands(int ch, const ChannelBands& bands);
    void applyDelays(const ChannelDelays& delays);
    // Automatic equalisation's bands: the snapshot first, then one edit as applyEqBands.
    void applyAutoEq(int ch, const ChannelBands& bands);

  signals:
    void graphChanged(); // the bands of a channel changed: repaint the graph
    // A measurement imported for channel ch, or cleared (an empty one): the graph shows it.
    void measurementChanged(int ch, const tarn::Measurement& measurement);

  private:
    EditSession& session;
    std::array<QAction*, 5> entry{};
    QPointer<DistanceForm> openDistanceForm; // the one on screen: a new one replaces it
    QPointer<QWidget> openAutoEqForm;        // likewise
    // The points of each channel's imported measurement, for the automatic equalisation.
    std::array<std::vector<MeasuredPoint>, kChannels> measuredPoints;
    std::function<void()> beforeAutomatic;
};

} // namespace tarn
