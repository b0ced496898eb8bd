// The scene actions: the scene menu (the scene manager, one scene or all nine to and from a
// file, the History window) and the option menu's About, factory reset and firmware upgrade, with
// the transfer each file action runs on the link and the snapshots of the unit taken before each
// act. The window places the actions in its menus.
#pragma once

#include "session/history_recorder.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QMenu;
class QPushButton;
class QWidget;

namespace tarn {

class AboutForm;
class EditSession;
class HistoryWindow;
class SceneHistory;
class SceneTransfer;
class SceneManager;

class SceneActions : public QObject {
    Q_OBJECT

  public:
    struct Widgets {
        QPushButton* BT_SENCE = nullptr;  // carries the scene menu
        QPushButton* BT_OPTION = nullptr; // disabled with BT_SENCE while a transfer runs
    };
    // Builds the scene menu (its parent is window) and the option entries.
    SceneActions(const Widgets& widgets, EditSession& session, QWidget* window);
    // The scene manager, About box and History window are windows of their own: they go with the
    // view.
    ~SceneActions() override;

    QMenu* sceneMenu() const { return scene; }
    const std::array<QAction*, 5>& sceneEntries() const { return sceneEntry; }
    QAction* historyAction() const { return historyEntry; }
    QAction* aboutAction() const { return about; }
    QAction* resetAction() const { return systemReset; }
    QAction* upgradeAction() const { return upgrade; }
    QPushButton* sceneButton() const { return ui.BT_SENCE; }
    QPushButton* optionButton() const { return ui.BT_OPTION; }

    void showTexts(bool en); // the entries in the language given

    // The scene menu's entries, in their order.
    void manageScenes();  // the scene manager dialog
    void saveScene();     // the mirror to a "*.SCE" file
    void loadScene();     // a "*.SCE" file into the unit
    void saveAllScenes(); // the unit's nine stored scenes to an "*.ALL" file
    void loadAllScenes(); // an "*.ALL" file into the unit's nine stored scenes
    void showHistory();   // the History window, opened or brought forward
    // The option menu's.
    void showAbout();
    void factoryReset();
    void upgradeFirmware();

    // Checked "*.SCE" bytes into the unit (a file, or a snapshot restored), after a snapshot
    // with this reason; then the unit is read back.
    void sceneImageLoad(const QByteArray& file, SnapshotReason reason);

    // The one transfer the view runs at a time, and its snapshots of the unit.
    SceneTransfer& transfer() const { return *transfer_; }
    SceneHistory& history() const { return *history_; }

  signals:
    // For the status bar: the progress display of a transfer, and where a file was saved.
    void transferShown(int firstProgress, bool readOnly);
    void transferHidden();
    void savedTo(const QString& path);
    // The link went offline or waits for the unit: its status is to be shown again.
    void linkStatusChanged();
    // The stop button beside the progress says something else than cancel (skip a reading).
    void stopCaptionChanged(const QString& text);

  private:
    // Each asks for a file name; the Open ones read and check the file and refuse a wrong one
    // with a notice, returning whether the transfer may go on.
    void SingleFileSave();
    bool SingleFileOpen(QByteArray& file); // the "*.SCE" bytes, checked
    void AllFileSave();                    // writes All_Scene_Image
    bool AllFileOpen();                    // fills All_Scene_Image
    void AllScenesUpload();                // All_Scene_Image into the unit
    bool UpgradeFileOpen();                // fills FW_Image

    Widgets ui;
    EditSession& session;
    QMenu* scene = nullptr;
    std::array<QAction*, 5> sceneEntry{};
    QAction* historyEntry = nullptr;
    QAction* about = nullptr;
    QAction* systemReset = nullptr;
    QAction* upgrade = nullptr;
    QByteArray All_Scene_Image; // the nine stored scenes, 4096 bytes each, scene 1 first
    QByteArray FW_Image;        // the firmware file being sent
    // The one About box and the one scene manager on screen: a new one replaces the old.
    QPointer<AboutForm> openAbout;
    QPointer<SceneManager> openManager;
    QPointer<HistoryWindow> openHistory;
    std::unique_ptr<SceneTransfer> transfer_;
    std::unique_ptr<SceneHistory> history_;
};

} // namespace tarn
