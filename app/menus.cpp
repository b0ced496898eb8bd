// The drop-down menus of the main window and their wiring.
#include "app/form.h"
#include "app/tarn80x.h"
#include "session/menu_texts.h"
#include "tuning/tuning_actions.h"
#include "views/crossover.h"
#include "views/outputs.h"
#include "views/scene_actions.h"
#include "widgets/styles.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPushButton>

namespace tarn {

namespace {

QAction* addEntry(QMenu* menu, const Bilingual& text, bool checkable = false) {
    QAction* action = menu->addAction(tr2(text, false));
    action->setCheckable(checkable);
    return action;
}

} // namespace

// The option menu: the noise gate, undo and redo, the scene actions' About, reset and upgrade,
// the tuning tools and the languages; the scene menu with the History entry; the views' own menus
// gathered for tests.
void Tarn80X::buildMenus() {
    Menus& m = menus;
    m.option = darkMenu(this);
    const ChannelBar::NoiseGateMenu& gate = channelBar_->noiseGateMenu();
    m.noiseGate = gate.menu;
    m.noiseGateGroup = gate.group;
    m.noiseGateLevel = gate.level;
    m.option->addMenu(m.noiseGate);
    // Undo and redo also answer their keys anywhere in the window, not only in the open menu.
    m.undo = addEntry(m.option, txt::OptionUndo);
    m.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m.redo = addEntry(m.option, txt::OptionRedo);
    m.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* a : {m.undo, m.redo}) {
        a->setEnabled(false);
        addAction(a);
    }
    m.about = sceneActions_->aboutAction();
    m.systemReset = sceneActions_->resetAction();
    m.upgrade = sceneActions_->upgradeAction();
    m.option->addActions({m.about, m.systemReset, m.upgrade});
    m.chinese = addEntry(m.option, txt::OptionChinese, true);
    m.english = addEntry(m.option, txt::OptionEnglish, true);
    auto* languages = new QActionGroup(this); // the check mark shows the current language
    languages->addAction(m.chinese);
    languages->addAction(m.english);
    m.chinese->setChecked(true);
    connect(m.chinese, &QAction::triggered, this, [this] { Language_Set(0); });
    connect(m.english, &QAction::triggered, this, [this] { Language_Set(1); });
    // The tuning entries go before the language entries.
    const auto& tuning = tuningActions_->entries();
    m.option->insertActions(m.chinese, {tuning.begin(), tuning.end()});
    m.importMeasurement = tuning[0];
    m.clearMeasurement = tuning[1];
    m.importEqFilters = tuning[2];
    m.distanceAlignment = tuning[3];
    ui->BT_OPTION->setMenu(m.option);

    m.scene = sceneActions_->sceneMenu();
    m.sceneEntry = sceneActions_->sceneEntries();
    m.history = sceneActions_->historyAction();

    for (size_t ch = 0; ch < m.role.size(); ++ch)
        m.role[ch] = channelBar_->roleMenus()[ch];
    for (bool lowPass : {false, true}) {
        const CrossoverPanel::FilterMenus& f = crossover_->menus(lowPass);
        (lowPass ? m.lpfType : m.hpfType) = f.type;
        (lowPass ? m.lpfSlope : m.hpfSlope) = f.slope;
        (lowPass ? m.lpfTypeEntry : m.hpfTypeEntry) = f.typeEntry;
        (lowPass ? m.lpfSlopeEntry : m.hpfSlopeEntry) = f.slopeEntry;
    }
    m.delayUnit = ui->BT_Unit->menu();
    m.unitMs = outputs_->unitMs();
    m.unitCm = outputs_->unitCm();
}

} // namespace tarn
