// Switching every text of the main window, its menus and its actions between Chinese and English.
#include "app/tarn80x.h"
#include "i18n/form_texts.h"
#include "i18n/qt_translations.h"
#include "model/param_image.h"
#include "session/edit_session.h"
#include "session/menu_texts.h"
#include "tuning/tuning_actions.h"
#include "views/crossover.h"
#include "views/outputs.h"
#include "views/scene_actions.h"
#include "views/status_bar.h"

#include <QAction>
#include <QMenu>

namespace tarn {

void Tarn80X::Language_Set(uint8_t english) {
    Pc.Lang_EN = english;
    const bool en = english != 0;
    applyFormTexts(this, en);
    statusBar().showLinkStatus();
    (en ? menus.english : menus.chinese)->setChecked(true);
    Qt_Translations_Apply(en);

    Menus& m = menus;
    m.undo->setText(tr2(txt::OptionUndo, en));
    m.redo->setText(tr2(txt::OptionRedo, en));
    sceneActions_->showTexts(en);
    tuningActions_->showTexts(en);
    crossover_->showTexts(en);

    for (int ch = 0; ch < kChannels; ++ch)
        outputs_->drawPhaseButton(ch);
    session_->refreshViews(RefreshCrossover);
    channelBar_->showTexts(en);
}

} // namespace tarn
