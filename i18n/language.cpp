// Switching every text of the main window, its menus and its actions between Chinese and English.
#include "app/desktop.h"
#include "app/form.h"
#include "app/tarn80x.h"
#include "i18n/form_texts.h"
#include "i18n/qt_translations.h"
#include "model/param_image.h"
#include "session/menu_texts.h"
#include "tuning/tuning_actions.h"
#include "views/crossover.h"
#include "views/outputs.h"
#include "views/scene_actions.h"
#include "views/status_bar.h"

#include <QAction>
#include <QMenu>

namespace tarn {

void Tarn80X::Option_Sub6_Fun() {
    Language_Set(0);
}
void Tarn80X::Option_Sub7_Fun() {
    Language_Set(1);
}

void Tarn80X::Language_Set(uint8_t english) {
    Pc.Lang_EN = english;
    const bool en = english != 0;
    applyFormTexts(this, en);
    statusBar().showLinkStatus();
    (en ? menus.english : menus.chinese)->setChecked(true);
    Qt_Translations_Apply(en);

    Menus& m = menus;
    m.noiseGate->setTitle(tr2(txt::NoiseGateTitle, en));
    for (int level = 0; level < 7; ++level) {
        m.noiseGateLevel[level]->setText(tr2(txt::NoiseGateLevel[level], en));
        m.noiseGateLevel[level]->setToolTip(tr2(txt::NoiseGateLevelTip[level], en));
    }
    m.undo->setText(tr2(txt::OptionUndo, en));
    m.redo->setText(tr2(txt::OptionRedo, en));
    sceneActions_->showTexts(en);
    tuningActions_->showTexts(en);
    crossover_->showTexts(en);

    for (int ch = 0; ch < kChannels; ++ch)
        outputs_->drawPhaseButton(ch);
    Refresh_Crossover();
    channelBar_->showTexts(en);
}

} // namespace tarn
