// The one main window. Its slots are split by subsystem: app/ keeps lifecycle, dragging and wiring;
// link/, editing/, graph/ and the other folders define the slots of their own widgets.
#pragma once

#include <QBrush>
#include <QPen>
#include <QPoint>
#include <QWidget>
#include <array>

class QAction;
class QActionGroup;
class QMenu;

namespace tarn {

struct Form;

class Tarn80X : public QWidget {
    Q_OBJECT

  public:
    explicit Tarn80X(QWidget* parent = nullptr);
    ~Tarn80X() override;

    Form* form() const { return ui; }
    int linkTimerId() const { return linkTimer; }

    // ---- link ----
  public:
    void Link_Tick(); // one step of the link; timerEvent calls it for the link timer
    void Link_Init(); // construction: replies are dispatched to this window
    void Link_Shutdown();
    void Reply_Dispatch();
    void Show_Link_Status(); // BT_CONNECT from Link_State
  public slots:
    void Update_All_State();

  private:
    void Name_Check();
    void Readback_Complete();
    bool Paced_Request_Step(void (*request)(int), int index);

    // ---- graph ----
  public:
    void Graph_Init();                                 // construction: place the band markers
    void Graph_EventFilter(QObject* watched, QEvent* event); // marker branches, BT_LED_ double-click
    void Graph_Paint(QPaintEvent* event);               // the whole paintEvent
    // The crossover curve routines of the graph plus moving the marker widget to the corner
    // frequency; inside Tarn80X members these names resolve here, not to the pure tarn:: ones.
    void HPF_Curve_Calc(uint8_t ch);
    void LPF_Curve_Calc(uint8_t ch);
    // Band marker of Cur_CH placed from the mirror: by gain (keeps x), by frequency (keeps y),
    // or both (channel refresh). The band's number label follows its marker.
    void Place_Band_Marker_By_Gain(int band);
    void Place_Band_Marker_By_Freq(int band);
    void Place_Band_Marker(int band);
    // Seams to the editing code (graph/graph_seams.cpp): the link copies of a graph change.
    void Band_Changed_From_Graph(int band);
    void Crossover_Changed_From_Graph(bool lowPass);
    void Band_Flat_Toggle(int band); // BT_LED_ double-click: flat / restore
  public slots:
    void HPF_Point_Update_Change();
    void LPF_Point_Update_Change();
    void Mark_Point_Update_Change(int Band);

    // ---- editing: EQ bands and crossovers ----
  public:
    void Editing_EventFilter(QObject* watched, QEvent* event); // keys and wheel of the entries
  public slots:
    void Filter_Type_Select(bool lowPass, int type);    // type menus, entries 0..2
    void Filter_Slope_Select(bool lowPass, int entry);  // slope menus, entries 0..7 and 8 = off

    // ---- editing: outputs, channels and link, input and noise gate ----
  public slots:
    void BT_CH_Click();
    void BT_CH_Switch(int ch);
    void Show_Channel_Outputs();        // every channel's volume slider and delay text from the mirror
    void Draw_Channel_Buttons_Off(int ch); // phase, mute and Sync buttons in their off state
    void Draw_Phase_Button(int ch);
    void Draw_Mute_Button(int ch);
    void Show_Input_Buttons(); // the input-source buttons for Input_Source
    void ms_Fun();
    void cm_Fun();
    void Option_NoiseGate_Select(int level);

    // ---- speaker roles ----
  public slots:
    void Role_Select(int ch, int code);
    void Role_Refresh(); // name buttons and menu check marks from CH_Name

    // ---- presets, maintenance and language ----
  public slots:
    void Scene_Menu_Select(int entry); // scene menu entries 0..4
    void Option_Sub2_Fun();            // About
    void Option_Sub3_Fun();            // factory reset
    void Option_Sub5_Fun();            // firmware upgrade
    void Option_Sub6_Fun();            // Chinese
    void Option_Sub7_Fun();            // English

    // ---- shell ----
  public slots:
    void on_BT_CLOSE_clicked();
    void on_BT_MIN_clicked();

  protected:
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void buildOptionAndSceneMenus();
    void buildFilterAndUnitMenus();
    void installEventFilters();

    QPen pen;
    QBrush brush;
    int linkTimer = 0;
    Form* ui = nullptr;

    QPoint dragOffset;
    uint8_t dragAllowed = 0;

  public:
    // Drop-down menus and their actions (built by buildMenus).
    struct Menus {
        QMenu* option = nullptr;
        QMenu* noiseGate = nullptr;
        QActionGroup* noiseGateGroup = nullptr;
        std::array<QAction*, 7> noiseGateLevel{};
        QAction* about = nullptr;
        QAction* systemReset = nullptr;
        QAction* upgrade = nullptr;
        QAction* chinese = nullptr;
        QAction* english = nullptr;
        QMenu* scene = nullptr;
        std::array<QAction*, 5> sceneEntry{};
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
        struct RoleMenu {
            QMenu* menu = nullptr;
            std::array<QMenu*, 6> position{}; // FL, FR, SL, SR, CEN, SUB
            std::array<QAction*, 21> entry{}; // by role code
        };
        std::array<RoleMenu, 6> role{};
    } menus;
    using RoleMenu = Menus::RoleMenu;
};

} // namespace tarn
