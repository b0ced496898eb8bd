// The unit's nine stored scenes: the dialog that saves the unit's current settings into a place
// under a name, recalls a place, or deletes one. Names and the used/empty marks come from the
// scene-name read of the link (Scenes); the dialog only sends commands.
#pragma once

#include "session/history_store.h"
#include "session/scene_names.h"
#include "session/text.h"

#include "widgets/frameless_dialog.h"

#include <QDialog>
#include <QPoint>
#include <array>
#include <cstdint>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarn {

class SceneActions;

namespace txt {
constexpr Bilingual ConnectFirst{"请先联机！", "Please connect the unit first!"};
} // namespace txt

// Whether a write command sent now reaches the unit: the link is online with a device open, no
// read-back is running (the frame sender drops writes during a read-back) and no transfer runs.
bool Unit_Ready_For_Commands();

class SceneManager : public FramelessDialog {
    Q_OBJECT

  public:
    // The view runs the reading before a delete and keeps the snapshots.
    explicit SceneManager(SceneActions& view, QWidget* parent = nullptr);
    ~SceneManager() override;

    static constexpr int kPlaces = 9;

  public slots:
    void on_BT_CLOSE_clicked();
    void on_BT_EXIT_clicked();
    void on_Check_S_1_clicked();
    void on_Check_S_2_clicked();
    void on_Check_S_3_clicked();
    void on_Check_S_4_clicked();
    void on_Check_S_5_clicked();
    void on_Check_S_6_clicked();
    void on_Check_S_7_clicked();
    void on_Check_S_8_clicked();
    void on_Check_S_9_clicked();
    void on_BT_SAVE_clicked();
    void on_BT_CALL_clicked();
    void on_BT_DEL_clicked();

  private:
    struct Ui {
        QPushButton* BT_CLOSE = nullptr;
        QLabel* label = nullptr;                 // heading
        std::array<QLabel*, kPlaces> number{};   // label_2 ... label_10
        std::array<QCheckBox*, kPlaces> check{}; // Check_S_1 ... Check_S_9
        std::array<QLineEdit*, kPlaces> name{};  // Edit_Sence_Name_1 ... _9
        std::array<QLabel*, kPlaces> mark{};     // Label_Mark_1 ... _9
        std::array<QPushButton*, 4> heading{};   // BT_SAVE_2 ... BT_SAVE_5
        QPushButton* BT_SAVE = nullptr;
        QPushButton* BT_CALL = nullptr;
        QPushButton* BT_DEL = nullptr;
        QPushButton* BT_EXIT = nullptr;
        void setupUi(QDialog* dialog);
    };

    void Check_Click(int row); // row 0..8
    // The first checked place (0..8), or -1 after telling the user to choose one.
    int Chosen_Place();
    // Refused with a notice unless a write command can reach the unit now.
    bool Ready_Or_Tell();
    void Show_Mark(int row);
    // Deletes place row (0..8) after a snapshot holding the scene as read from it.
    void Delete_Place(int row, std::vector<StoredSceneImage> scenes);

    Ui ui;
    SceneActions& view;
    uint8_t Scene_Sel = 0;
    bool english = false; // the language the dialog was built in; it keeps it while open
};

} // namespace tarn
