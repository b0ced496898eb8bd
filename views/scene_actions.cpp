// The scene actions' menu entries, the scene manager, About and History windows, and the factory
// reset.
#include "views/scene_actions.h"

#include "link/link_machine.h"
#include "link/send.h"
#include "session/edit_session.h"
#include "session/history_texts.h"
#include "session/menu_texts.h"
#include "views/scene_actions_about_form.h"
#include "views/scene_actions_history.h"
#include "views/scene_actions_history_window.h"
#include "views/scene_actions_scene_manager.h"
#include "views/scene_actions_transfer.h"
#include "widgets/notice.h"
#include "widgets/styles.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace tarn {

namespace {

constexpr Bilingual kResetQuestion{"确定要将当前机器复位到出厂模式？",
                                   "Reset the unit to its factory settings?"};
constexpr Bilingual kResetDone{"复位完成，请耐心等待2秒钟后自动更新UI！",
                               "Reset done. The screen is updated in 2 seconds!"};

// The unit's time to reset before it is opened again and read back: the two seconds the notice
// tells the user of.
constexpr uint16_t kResetReconnectTicks = 1000;

} // namespace

SceneActions::SceneActions(const Widgets& widgets, EditSession& session_, QWidget* window)
    : QObject(window), ui(widgets), session(session_),
      transfer_(std::make_unique<SceneTransfer>(*this)),
      history_(std::make_unique<SceneHistory>(*this)) {
    using Action = void (SceneActions::*)();
    static constexpr Action kEntries[] = {&SceneActions::manageScenes, &SceneActions::saveScene,
                                          &SceneActions::loadScene, &SceneActions::saveAllScenes,
                                          &SceneActions::loadAllScenes};
    scene = darkMenu(window);
    for (int i = 0; i < 5; ++i) {
        sceneEntry[i] = scene->addAction(tr2(txt::SceneEntry[i], false));
        connect(sceneEntry[i], &QAction::triggered, this, kEntries[i]);
    }
    historyEntry = scene->addAction(tr2(history_text::MenuEntry, false));
    historyEntry->setObjectName(QStringLiteral("HistoryAction"));
    connect(historyEntry, &QAction::triggered, this, &SceneActions::showHistory);
    ui.BT_SENCE->setMenu(scene);

    about = new QAction(tr2(txt::OptionAbout, false), this);
    systemReset = new QAction(tr2(txt::OptionReset, false), this);
    upgrade = new QAction(tr2(txt::OptionUpgrade, false), this);
    connect(about, &QAction::triggered, this, &SceneActions::showAbout);
    connect(systemReset, &QAction::triggered, this, &SceneActions::factoryReset);
    connect(upgrade, &QAction::triggered, this, &SceneActions::upgradeFirmware);
}

void SceneActions::showTexts(bool en) {
    about->setText(tr2(txt::OptionAbout, en));
    systemReset->setText(tr2(txt::OptionReset, en));
    upgrade->setText(tr2(txt::OptionUpgrade, en));
    for (int i = 0; i < 5; ++i)
        sceneEntry[i]->setText(tr2(txt::SceneEntry[i], en));
    historyEntry->setText(tr2(history_text::MenuEntry, en));
}

SceneActions::~SceneActions() {
    delete openHistory.data();
    delete openManager.data();
    delete openAbout.data();
}

void SceneActions::manageScenes() {
    if (!Link_Online()) {
        Show_Warning(txt::ConnectFirst);
        return;
    }
    if (openManager) openManager->close(); // deleted on close
    auto* manager = new SceneManager(*this);
    manager->setAttribute(Qt::WA_DeleteOnClose);
    openManager = manager;
    manager->show();
}

void SceneActions::showHistory() {
    if (!openHistory) {
        auto* w = new HistoryWindow(*this);
        w->setAttribute(Qt::WA_DeleteOnClose);
        openHistory = w;
    }
    openHistory->show();
    openHistory->raise();
    openHistory->activateWindow();
}

void SceneActions::showAbout() {
    if (openAbout) openAbout->close(); // deleted on close
    auto* box = new AboutForm;
    box->setAttribute(Qt::WA_DeleteOnClose);
    openAbout = box;
    box->show();
}

// Factory reset: asks, sends the reset, and gives the unit two seconds on the link's own clock
// before it is opened again and read back, however long the notice stays open.
void SceneActions::factoryReset() {
    if (!Link_Online()) return; // nothing to reset while offline
    // Online but still reading the unit back: the sender would drop the reset.
    if (!Unit_Ready_For_Commands()) {
        Show_Warning(txt::ConnectFirst);
        return;
    }
    if (!Ask_Question_Default_No(Text_Of(kResetQuestion))) return; // Return must not reset
    if (!Unit_Ready_For_Commands()) { // the link changed while the question was open
        Show_Warning(txt::ConnectFirst);
        return;
    }
    history_->takeSnapshot(SnapshotReason::FactoryReset);
    Send_Factory_Reset();
    if (!Link_Online()) return; // the write failed; the sender has told the user
    Link_Machine().setReconnectCount(kResetReconnectTicks);
    Show_Notice(kResetDone);
}

} // namespace tarn
