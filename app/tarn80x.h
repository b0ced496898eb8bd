// The one main window. It only composes: the form creates and places every widget; the views own
// them (views/, the graph widget, the tuning actions) and talk to the editing session; the window
// wires their signals, assembles the menus from their actions, switches the language, moves and
// resizes itself without a frame and keeps its settings (app/desktop.*, app/settings.*).
#pragma once

#include "views/channel_bar.h"
#include "views/crossover.h"

#include <QPoint>
#include <QWidget>
#include <array>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;

namespace tarn {

struct Form;
class EditSession;
class EqPage;
class GraphView;
class OutputsStrip;
class SceneActions;
class StatusBar;
class TuningActions;

class Tarn80X : public QWidget {
    Q_OBJECT

  public:
    explicit Tarn80X(QWidget* parent = nullptr);
    ~Tarn80X() override;

    // The parts, for the desktop code and for tests.
    Form* form() const { return ui; }
    EditSession& session() const { return *session_; }
    GraphView& graph() const;
    EqPage& eqPage() const { return *eqPage_; }
    CrossoverPanel& crossoverPanel() const { return *crossover_; }
    OutputsStrip& outputsStrip() const { return *outputs_; }
    ChannelBar& channelBar() const { return *channelBar_; }
    SceneActions& sceneActions() const { return *sceneActions_; }
    TuningActions& tuningActions() const { return *tuningActions_; }
    StatusBar& statusBar() const { return *statusBar_; }

    // Every text of the window, its menus and actions (0 Chinese, 1 English).
    void Language_Set(uint8_t english);
    // Stops the link waking itself (tests step the link with their own clock).
    void stopLinkTimer();

    // Drop-down menus and their actions, gathered from the views (tests reach them here).
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
        std::array<ChannelBar::RoleMenu, 6> role{}; // the channel bar's, on the name buttons
    } menus;

  public slots:
    void on_BT_CLOSE_clicked();
    void on_BT_MIN_clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildViews();
    void wireViews();
    void buildMenus();
    void wireLink();   // the status bar and the link's reports to the views (app/link_view.cpp)
    void unwireLink(); // the window goes: the link stops and lets go of the unit
    void showReadBack();

    Form* ui = nullptr;
    std::unique_ptr<EditSession> session_;
    EqPage* eqPage_ = nullptr;
    CrossoverPanel* crossover_ = nullptr;
    OutputsStrip* outputs_ = nullptr;
    ChannelBar* channelBar_ = nullptr;
    SceneActions* sceneActions_ = nullptr;
    TuningActions* tuningActions_ = nullptr;
    StatusBar* statusBar_ = nullptr;

    QPoint dragOffset;
    bool dragAllowed = false;
};

} // namespace tarn
