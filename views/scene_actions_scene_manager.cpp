#include "views/scene_actions_scene_manager.h"

#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"
#include "session/unit_files.h"
#include "views/scene_actions.h"
#include "views/scene_actions_history.h"
#include "views/scene_actions_transfer.h"
#include "widgets/notice.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

namespace tarn {

namespace {

constexpr Bilingual kTitle{"场景管理", "场景管理"}; // the title stays Chinese
constexpr Bilingual kHeading{"加载/保存场景", "Load/Save"};
constexpr Bilingual kSave{"保存", "Save"};
constexpr Bilingual kCall{"调用", "Load"};
constexpr Bilingual kDelete{"删除", "Delete"};
constexpr Bilingual kExit{"退出", "Exit"};
constexpr Bilingual kMarkEmpty{"空", "Empty"};
constexpr Bilingual kMarkUsed{"非空", "Used"};
// Column headings, shown in English only.
constexpr const char* kColumns[4] = {"Select", "Position", "Name", "State"};

constexpr Bilingual kSelectPlace{"请勾选对应的场景!", "Select a scene first!"};
// %1 the place, %2 the name the unit holds for it.
constexpr Bilingual kDeleteQuestion{"请确认是否要删除场景 %1“%2”", "Delete scene %1 \"%2\"?"};

constexpr int kNameBytes = kSceneNameBytes;

const char kDialogSheet[] =
    "QDialog#SenceManage{background-image: url(:/PNG/SenceManage.png);}"
    "QLabel{color:white;background-color: transparent;}"
    "QLineEdit{color:white;background-color: rgb(50, 50, 52);border:1px solid gray;"
    "border-radius:3px;}"
    "QPushButton{background-color: rgb(72, 72, 73);color:white;border:1px groove gray;"
    "border-radius:6px;padding:1px 4px;border-style: outset;}"
    "QPushButton:pressed{background-color: rgb(204, 204, 204);color:black;}"
    "QPushButton#BT_CLOSE{border-image: url(:/PNG/MainClose.png);background-color: transparent;"
    "border:none;}"
    "QPushButton#BT_SAVE_2,QPushButton#BT_SAVE_3,QPushButton#BT_SAVE_4,QPushButton#BT_SAVE_5{"
    "background-color: transparent;border:none;}";

// Geometry: a heading band at the top, nine rows on the left, the buttons on the right.
constexpr int kRowTop = 78;
constexpr int kRowStep = 24;
constexpr int kRowHeight = 22;
constexpr int kCheckX = 42, kNumberX = 110, kNameX = 166, kMarkX = 366;
constexpr int kNameWidth = 190, kMarkWidth = 80;
constexpr int kButtonX = 466, kButtonWidth = 80, kButtonHeight = 30;

} // namespace

bool Unit_Ready_For_Commands() {
    // A running transfer owns the link until it ends.
    return Link_Machine().readyForCommands() && !Link_Machine().jobRunning();
}

void SceneManager::Ui::setupUi(QDialog* dialog) {
    dialog->setObjectName(QStringLiteral("SenceManage"));
    dialog->setFixedSize(563, 311);
    dialog->setStyleSheet(QString::fromLatin1(kDialogSheet));

    label = new QLabel(tr2(kHeading, false), dialog);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(20, 10, 300, 26);

    BT_CLOSE = new QPushButton(dialog);
    BT_CLOSE->setObjectName(QStringLiteral("BT_CLOSE"));
    BT_CLOSE->setGeometry(563 - 36, 9, 26, 26);
    BT_CLOSE->setFocusPolicy(Qt::NoFocus);

    // Centred over their columns.
    const int headingX[4] = {kCheckX + 10 - 32, kNumberX + 15 - 36, kNameX, kMarkX};
    const int headingW[4] = {64, 72, kNameWidth, kMarkWidth};
    for (int i = 0; i < 4; ++i) {
        heading[i] = new QPushButton(QString::fromLatin1(kColumns[i]), dialog);
        heading[i]->setObjectName(QStringLiteral("BT_SAVE_%1").arg(i + 2));
        heading[i]->setGeometry(headingX[i], 50, headingW[i], kRowHeight);
        heading[i]->setFocusPolicy(Qt::NoFocus);
    }

    for (int row = 0; row < kPlaces; ++row) {
        const int y = kRowTop + row * kRowStep;
        check[row] = new QCheckBox(dialog);
        check[row]->setObjectName(QStringLiteral("Check_S_%1").arg(row + 1));
        check[row]->setGeometry(kCheckX, y, 20, kRowHeight);

        number[row] = new QLabel(QString::number(row + 1), dialog);
        number[row]->setObjectName(QStringLiteral("label_%1").arg(row + 2));
        number[row]->setGeometry(kNumberX, y, 30, kRowHeight);
        number[row]->setAlignment(Qt::AlignCenter);

        name[row] = new QLineEdit(QStringLiteral("Mode%1").arg(row + 1), dialog);
        name[row]->setObjectName(QStringLiteral("Edit_Sence_Name_%1").arg(row + 1));
        name[row]->setGeometry(kNameX, y, kNameWidth, kRowHeight);
        name[row]->setMaxLength(kNameBytes);

        mark[row] = new QLabel(tr2(kMarkEmpty, false), dialog);
        mark[row]->setObjectName(QStringLiteral("Label_Mark_%1").arg(row + 1));
        mark[row]->setGeometry(kMarkX, y, kMarkWidth, kRowHeight);
        mark[row]->setAlignment(Qt::AlignCenter);
    }

    struct Button {
        QPushButton*& button;
        const char* name;
        const Bilingual& text;
    };
    int y = kRowTop;
    for (Button b : {Button{BT_SAVE, "BT_SAVE", kSave}, Button{BT_CALL, "BT_CALL", kCall},
                     Button{BT_DEL, "BT_DEL", kDelete}, Button{BT_EXIT, "BT_EXIT", kExit}}) {
        b.button = new QPushButton(tr2(b.text, false), dialog);
        b.button->setObjectName(QString::fromLatin1(b.name));
        b.button->setGeometry(kButtonX, y, kButtonWidth, kButtonHeight);
        y += 48;
    }
}

SceneManager::SceneManager(SceneActions& view_, QWidget* parent)
    : FramelessDialog(parent), view(view_) {
    ui.setupUi(this);
    QMetaObject::connectSlotsByName(this);
    setWindowTitle(tr2(kTitle));

    english = Pc.Lang_EN != 0;
    if (english) {
        ui.label->setText(tr2(kHeading, true));
        ui.BT_SAVE->setText(tr2(kSave, true));
        ui.BT_CALL->setText(tr2(kCall, true));
        ui.BT_DEL->setText(tr2(kDelete, true));
        ui.BT_EXIT->setText(tr2(kExit, true));
        for (QLabel* mark : ui.mark)
            mark->setText(tr2(kMarkEmpty, true));
        for (QPushButton* heading : ui.heading)
            heading->show();
    } else {
        for (QPushButton* heading : ui.heading)
            heading->hide();
        for (QLineEdit* edit : ui.name)
            edit->setAlignment(Qt::AlignCenter);
    }

    for (int row = 0; row < kPlaces; ++row) {
        ui.name[row]->setText(
            Scene_Name_Text(Link_Machine().scenes().Scene_Name[static_cast<size_t>(row)]));
        if (Link_Machine().scenes().Scene_Valid[static_cast<size_t>(row)] == 1) Show_Mark(row);
    }
}

SceneManager::~SceneManager() = default;

void SceneManager::Show_Mark(int row) {
    const bool used = Link_Machine().scenes().Scene_Valid[static_cast<size_t>(row)] != 0;
    ui.mark[row]->setText(tr2(used ? kMarkUsed : kMarkEmpty, english));
}

void SceneManager::on_BT_CLOSE_clicked() {
    close();
}

void SceneManager::on_BT_EXIT_clicked() {
    close();
}

void SceneManager::Check_Click(int row) {
    if (!ui.check[row]->isChecked()) return;
    for (int other = 0; other < kPlaces; ++other)
        if (other != row) ui.check[other]->setChecked(false);
}

void SceneManager::on_Check_S_1_clicked() {
    Check_Click(0);
}
void SceneManager::on_Check_S_2_clicked() {
    Check_Click(1);
}
void SceneManager::on_Check_S_3_clicked() {
    Check_Click(2);
}
void SceneManager::on_Check_S_4_clicked() {
    Check_Click(3);
}
void SceneManager::on_Check_S_5_clicked() {
    Check_Click(4);
}
void SceneManager::on_Check_S_6_clicked() {
    Check_Click(5);
}
void SceneManager::on_Check_S_7_clicked() {
    Check_Click(6);
}
void SceneManager::on_Check_S_8_clicked() {
    Check_Click(7);
}
void SceneManager::on_Check_S_9_clicked() {
    Check_Click(8);
}

int SceneManager::Chosen_Place() {
    for (int row = 0; row < kPlaces; ++row) {
        if (ui.check[row]->isChecked()) {
            Scene_Sel = static_cast<uint8_t>(row);
            return row;
        }
    }
    Show_Notice(kSelectPlace);
    return -1;
}

// A command that cannot reach the unit is not reported as done: while the link is down, or
// while the unit is being read back (the sender drops writes then), the user is told to connect.
bool SceneManager::Ready_Or_Tell() {
    if (Unit_Ready_For_Commands()) return true;
    Show_Notice(txt::ConnectFirst);
    return false;
}

void SceneManager::on_BT_SAVE_clicked() {
    const int row = Chosen_Place();
    if (row < 0) return;
    const QString name = ui.name[row]->text();
    const BilingualText refusal = Scene_Name_Refusal(name);
    if (!refusal.isEmpty()) {
        Show_Notice(refusal);
        return;
    }
    if (!Ready_Or_Tell()) return;

    auto& slot = Link_Machine().scenes().Scene_Name[static_cast<size_t>(row)];
    const std::array<uint8_t, 16> bytes = Scene_Name_Slot(slot, name);
    Send_Scene_Save(row + 1, bytes.data());
    if (!Link_Online()) return; // the write failed; the sender has told the user

    slot = bytes;
    Link_Machine().scenes().Scene_Valid[static_cast<size_t>(row)] = 1;
    Show_Notice(txt::SceneSaved);
    for (int r = 0; r < kPlaces; ++r)
        if (Link_Machine().scenes().Scene_Valid[static_cast<size_t>(r)]) Show_Mark(r);
}

void SceneManager::on_BT_CALL_clicked() {
    const int row = Chosen_Place();
    if (row < 0) return;
    if (!Ready_Or_Tell()) return;
    // An empty place would replace the tune with an erased one.
    if (!Link_Machine().scenes().Scene_Valid[static_cast<size_t>(row)]) {
        Show_Notice(Fill_Text(txt::SceneRecallEmpty, {QString::number(row + 1)}));
        return;
    }
    // The notice comes first: the recall and the read-back start once the user has closed it.
    Show_Notice(txt::SceneRecalled);
    if (!Ready_Or_Tell()) return; // the link went down while the notice was open
    view.history().takeSnapshot(SnapshotReason::Recall);
    Send_Scene_Call(row + 1);
    if (!Link_Online()) return;
    Link_Machine().setReconnectCount(kRecallReconnectTicks);
}

void SceneManager::on_BT_DEL_clicked() {
    const int row = Chosen_Place();
    if (row < 0) return;
    if (!Ready_Or_Tell()) return;
    if (!Ask_Question(Fill_Text(
            kDeleteQuestion,
            {QString::number(row + 1),
             Scene_Name_Text(Link_Machine().scenes().Scene_Name[static_cast<size_t>(row)])})))
        return;
    if (!Ready_Or_Tell()) return; // the link went down while the question was open
    // The scene is read for the history first (an empty place has nothing to keep).
    if (!Link_Machine().scenes().Scene_Valid[static_cast<size_t>(row)]) {
        Delete_Place(row, {});
        return;
    }
    if (!view.transfer().mayStart(nullptr)) return;
    QPointer<SceneManager> self(this);
    // The view drops a transfer's end when it goes: history is alive whenever this runs.
    SceneHistory* history = &view.history();
    history->readStoredScenesThen(
        row + 1, 1, [self, history, row](std::vector<StoredSceneImage> scenes) {
            if (self) {
                self->Delete_Place(row, std::move(scenes));
            } else { // the dialog was closed meanwhile; the delete still goes ahead as asked
                history->takeSnapshot(SnapshotReason::SceneDelete, std::move(scenes));
                Send_Scene_Delete(row + 1);
                if (Link_Online()) Link_Machine().sceneNameFallback(row + 1);
            }
        });
}

void SceneManager::Delete_Place(int row, std::vector<StoredSceneImage> scenes) {
    view.history().takeSnapshot(SnapshotReason::SceneDelete, std::move(scenes));
    Send_Scene_Delete(row + 1);
    if (!Link_Online()) return;
    // The place shows what the unit reports for it from now on, as the command line lists it.
    Link_Machine().sceneNameFallback(row + 1);
    ui.name[row]->setText(
        Scene_Name_Text(Link_Machine().scenes().Scene_Name[static_cast<size_t>(row)]));
    for (int r = 0; r < kPlaces; ++r)
        Show_Mark(r);
}

} // namespace tarn
