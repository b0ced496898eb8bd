// The one main window. Its slots are split by subsystem: app/ keeps lifecycle, dragging and wiring;
// link/, editing/, graph/ and the other folders define the slots of their own widgets.
#pragma once

#include "session/bulk_edits.h"
#include "session/edit_session.h"
#include "views/channel_bar.h"

#include <QBrush>
#include <QPen>
#include <QPoint>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;
class QUndoStack;

namespace tarn {

struct Form;
class ChannelBar;
class CrossoverPanel;
class OutputsStrip;
class SceneActions;
class StatusBar;
class TuningActions;

class Tarn80X : public QWidget {
    Q_OBJECT

  public:
    explicit Tarn80X(QWidget* parent = nullptr);
    ~Tarn80X() override;

    Form* form() const { return ui; }
    StatusBar& statusBar() const { return *statusBar_; }
    OutputsStrip& outputsStrip() const { return *outputs_; }
    ChannelBar& channelBar() const { return *channelBar_; }
    CrossoverPanel& crossoverPanel() const { return *crossover_; }
    SceneActions& sceneActions() const { return *sceneActions_; }
    TuningActions& tuningActions() const { return *tuningActions_; }
    // Stops the link waking itself (tests step the link with their own clock).
    void stopLinkTimer();

    // ---- link (app/link_view.cpp): what the link machine reports, shown ----
  public:
    void Link_Tick(); // one 2 ms step of the link
    void Link_Init(); // construction: the status bar, and the link's signals to the views
    void Link_Shutdown();
  public slots:
    void Update_All_State();

  private:
    StatusBar* statusBar_ = nullptr;

    // ---- graph: the graph widget (graph/graph_view.h), wired in app/graph_wiring.cpp ----
  public:
    void Graph_Connect(); // construction: the graph's edits to the session
    // Forwarders to the graph widget for the editing code: repaint, crossover rows and markers,
    // band markers placed from the image by gain (keeps x), by frequency (keeps y), or both.
    void Graph_Repaint();
    void HPF_Curve_Calc(uint8_t ch);
    void LPF_Curve_Calc(uint8_t ch);
    void Place_Band_Marker_By_Gain(int band);
    void Place_Band_Marker_By_Freq(int band);
    void Place_Band_Marker(int band);
    void Band_Flat_Toggle(int band); // BT_LED_ or marker double-click: flat / restore
    void Band_Button_EventFilter(QObject* watched, QEvent* event); // BT_LED_ double-click

    // ---- editing: the core, undo and the refresh of the editing widgets (editing/edit_window.cpp)
    // ----
  public:
    // Forwarders to the editing session, until the views call it themselves.
    EditSession& Edit_Session() { return *session; }
    EditCore& Edit_Core() { return *core; }
    QUndoStack* Undo_Stack() const { return session->undoStack(); }
    // Runs one user edit as one undo step (see EditSession::apply); the session then asks for the
    // families named to be refreshed.
    void Edit(unsigned refresh, const std::function<void()>& edit, Gesture gesture = Gesture::None,
              int band = -1);
    void Begin_Gesture() { session->beginGesture(); }
    void Image_Replaced() { session->imageReplaced(); }
    void Refresh_Widgets(unsigned refresh, int band = -1);
    // Shown from the mirror, sending nothing.
    void Refresh_Band(int band);
    void Refresh_Eq();
    void Refresh_Crossover();
  public slots:
    void Option_Undo_Fun();
    void Option_Redo_Fun();

  private:
    void Editing_Core_Init();
    void Undo_Actions_Update();
    std::unique_ptr<EditSession> session;
    EditCore* core = nullptr;           // the session's, for the edits written as core->...
    Gesture keyGesture = Gesture::None; // of the slider steps a key or wheel event is making
    OutputsStrip* outputs_ = nullptr;
    ChannelBar* channelBar_ = nullptr;
    CrossoverPanel* crossover_ = nullptr;
    SceneActions* sceneActions_ = nullptr;
    TuningActions* tuningActions_ = nullptr;

    // ---- editing: EQ bands (editing/eq_bands.cpp) ----
  public:
    void EqCrossover_EventFilter(QObject* watched, QEvent* event); // keys and wheel of the bands
    void EQ_Bypass_Show(int ch);
    // Copies to the channels linked to ch, sending each when online.
    void EQ_Link_Copy(int ch, int band);
  public slots:
    void on_BT_PEQ_clicked();
    void on_BT_GEQ_clicked();
    void on_BT_EQ_BYPASS_clicked();
    void on_BT_EQ_RESET_clicked();

  public:
    // Construction, last step: connects the band families (sliders and entries) to the routines
    // below, which take the band index 0..30 and act on Cur_CH.
    void Editing_Connect_Eq();
    void EQ_Gain_Slider_Changed(int band, int value);
    void EQ_Gain_Entry(int band);
    void EQ_Freq_Entry(int band);
    void EQ_Q_Entry(int band);

  private:
    void EQ_Led_Show(int ch, int band);
    void EQ_Entries_Mode(bool parametric);

    // ---- the edited channel and the noise gate (app/channels.cpp) ----
  public:
    // The display part of a channel switch: every per-channel control from the image.
    void Channel_Refresh(int ch);
  public slots:
    void BT_CH_Switch(int ch); // as the channel button does
    void Option_NoiseGate_Select(int level);

    // ---- language ----
  public slots:
    void Option_Sub6_Fun(); // Chinese
    void Option_Sub7_Fun(); // English

  public:
    void Language_Set(uint8_t english); // every text of the window, its menus and actions

    // ---- shell ----
  public slots:
    void on_BT_CLOSE_clicked();
    void on_BT_MIN_clicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildOptionAndSceneMenus();
    void buildFilterAndUnitMenus();
    void installEventFilters();

    QPen pen;
    QBrush brush;
    Form* ui = nullptr;

    QPoint dragOffset;
    uint8_t dragAllowed = 0;

  public:
    // Drop-down menus and their actions (built by buildMenus).
    using ChannelBarRoleMenu = ChannelBar::RoleMenu;
    struct Menus {
        QMenu* option = nullptr;
        QMenu* noiseGate = nullptr;
        QActionGroup* noiseGateGroup = nullptr;
        std::array<QAction*, 7> noiseGateLevel{};
        QAction* about = nullptr;
        QAction* systemReset = nullptr;
        QAction* upgrade = nullptr;
        QAction* importMeasurement = nullptr;
        QAction* clearMeasurement = nullptr;
        QAction* importEqFilters = nullptr;
        QAction* distanceAlignment = nullptr;
        QAction* chinese = nullptr;
        QAction* english = nullptr;
        QAction* undo = nullptr;
        QAction* redo = nullptr;
        QMenu* scene = nullptr;
        std::array<QAction*, 5> sceneEntry{};
        QAction* history = nullptr; // the History window
        QMenu* hpfType = nullptr;
        QMenu* lpfType = nullptr;
        std::array<QAction*, 3> hpfTypeEntry{};
        std::array<QAction*, 3> lpfTypeEntry{};
        QMenu* hpfSlope = nullptr;
        QMenu* lpfSlope = nullptr;
        std::array<QAction*, 9> hpfSlopeEntry{};
        std::array<QAction*, 9> lpfSlopeEntry{};
        QMenu* delayUnit = nullptr;
        QAction* unitMs = nullptr;
        QAction* unitCm = nullptr;
        std::array<ChannelBarRoleMenu, 6> role{}; // the channel bar's, on the name buttons
    } menus;
};

} // namespace tarn
