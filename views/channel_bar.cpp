#include "views/channel_bar.h"

#include "session/channel_state.h"
#include "session/edit_session.h"
#include "session/menu_texts.h"
#include "session/output_format.h"
#include "session/roles.h"
#include "views/channel_bar_link_form.h"
#include "widgets/styles.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPushButton>

namespace tarn {

namespace {

constexpr uint8_t kSourceHigh = 0;
constexpr uint8_t kSourceOptical = 2;

QAction* addEntry(QMenu* menu, const Bilingual& text) {
    QAction* action = menu->addAction(tr2(text, false));
    action->setCheckable(true);
    return action;
}

} // namespace

ChannelBar::ChannelBar(const Widgets& widgets, EditSession& session_, QWidget* window)
    : QObject(window), ui(widgets), session(session_), core(session_.core()) {
    buildRoleMenus(window);
    buildNoiseGateMenu(window);
    connect(&session, &EditSession::refreshNeeded, this, [this](unsigned families) {
        if (families & RefreshChannel) refreshButtons();
        if (families & RefreshInput) showInputButtons();
        if (families & RefreshNoiseGate) showNoiseGate();
        if (families & RefreshRoles) refreshRoles();
    });
    connect(ui.BT_LINK, &QPushButton::clicked, this, &ChannelBar::linkClicked);
    connect(ui.BT_INPUT_HI, &QPushButton::clicked, this, [this] { Input_Select(kSourceHigh); });
    connect(ui.BT_INPUT_OPT, &QPushButton::clicked, this, [this] { Input_Select(kSourceOptical); });
    // The start-up look until the unit reports its source: line level.
    ui.BT_INPUT_BT->hide();
    ui.BT_INPUT_LOW->hide();
    ui.BT_INPUT_COAX->hide();
    for (QPushButton* input : {ui.BT_INPUT_BT, ui.BT_INPUT_COAX, ui.BT_INPUT_HI, ui.BT_INPUT_OPT})
        input->setStyleSheet(kStyleUnselected);
    ui.BT_INPUT_LOW->setStyleSheet(kStyleSelected);
}

void ChannelBar::buildRoleMenus(QWidget* window) {
    for (int ch = 0; ch < kChannels; ++ch) {
        QMenu* menu = darkMenu(window);
        RoleMenu& r = roles[static_cast<size_t>(ch)];
        r.menu = menu;
        for (int pos = 0; pos < 6; ++pos) {
            r.position[pos] = darkMenu(menu);
            r.position[pos]->setTitle(tr2(txt::RolePosition[pos], false));
            menu->addMenu(r.position[pos]);
        }
        auto addRole = [&](QMenu* sub, const Bilingual& text, int code) {
            QAction* a = addEntry(sub, text);
            r.entry[code] = a;
            connect(a, &QAction::triggered, this, [this, ch, code] { Role_Select(ch, code); });
        };
        for (int pos = 0; pos < 4; ++pos)
            for (int band = 0; band < 4; ++band)
                addRole(r.position[pos], txt::RoleBand[band], Role_Menu_Code(pos, band));
        addRole(r.position[4], txt::RoleCentre, 16);
        for (int i = 0; i < 3; ++i)
            addRole(r.position[5], txt::RoleSub[i], 17 + i);
        addRole(menu, txt::RoleOff, kRoleOffCode);
        ui.chNameButton[static_cast<size_t>(ch)]->setMenu(menu);
    }
    for (QPushButton* button : ui.chButton)
        connect(button, &QPushButton::clicked, this, [this, button] {
            const int ch = Channel_From_Name(button->objectName());
            if (ch >= 0) switchTo(ch);
        });
}

void ChannelBar::buildNoiseGateMenu(QWidget* window) {
    NoiseGateMenu& m = noiseGate;
    m.menu = darkMenu(window);
    m.menu->setTitle(tr2(txt::NoiseGateTitle, false));
    m.menu->setToolTipsVisible(true); // the levels' tooltips say what each does
    m.group = new QActionGroup(this);
    m.group->setExclusive(true);
    for (int level = 0; level < 7; ++level) {
        QAction* a = addEntry(m.menu, txt::NoiseGateLevel[level]);
        a->setToolTip(tr2(txt::NoiseGateLevelTip[level], false));
        m.group->addAction(a);
        m.level[level] = a;
        connect(a, &QAction::triggered, this, [this, level] { selectNoiseGate(level); });
    }
    m.level[0]->setChecked(true);
}

// The exclusive group moves the mark when the user picks an entry; the refresh keeps it right
// when the level is chosen any other way (undo, redo, a read-back).
void ChannelBar::selectNoiseGate(int level) {
    if (level < 0 || level > 6) return;
    session.apply(RefreshNoiseGate, [&] { core.NoiseGate_Select(level); });
}

void ChannelBar::showNoiseGate() {
    const uint16_t gate = Param_Image.NoiseGate();
    if (gate <= 6) noiseGate.level[gate]->setChecked(true);
}

// ---- channel and link buttons ----

void ChannelBar::switchTo(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    session.apply(0, [&] { core.Channel_Switch(ch); });
    session.showChannel(ch);
}

void ChannelBar::refreshButtons() {
    const int ch = Pc.Cur_CH;
    for (int k = 0; k < kChannels; ++k)
        Set_Look(ui.chButton[static_cast<size_t>(k)],
                 k == ch ? ButtonLook::Selected : ButtonLook::Plain);
    Set_Look(ui.BT_LINK, core.Linked_Any(ch) ? ButtonLook::Selected : ButtonLook::Plain);
}

void ChannelBar::linkClicked() {
    if (!core.Linked_Any(Pc.Cur_CH)) {
        auto* form = new LinkForm;
        form->setAttribute(Qt::WA_DeleteOnClose);
        connect(form, &LinkForm::LinkForm_SyncRequested, this, [this](uint8_t base, uint8_t mode) {
            session.apply(RefreshAll, [&] { core.Link_Synchronise(base, mode); });
        });
        // The pair it names follows the edited channel and the roles while it is open.
        connect(&session, &EditSession::refreshNeeded, form, &LinkForm::showPairs);
        connect(form, &LinkForm::LinkForm_ChangeEvent, this, [this](uint8_t TempCH) {
            if (TempCH >= kChannels) return;
            session.apply(RefreshAll, [&] { core.Link_Received(TempCH, LinkCopyChange{}); });
        });
        // Without an owner it would outlive the window it edits.
        connect(this, &QObject::destroyed, form, &QObject::deleteLater);
        form->show();
        return;
    }
    // Unlink: both directions, from whichever member of the pair is being edited.
    session.apply(RefreshChannel, [this] { core.Link_Unlink(); });
}

// ---- input source ----

// The button of the source gets the selected look, the other four the plain one. A source above 2
// selects none.
void ChannelBar::showInputButtons() {
    const int source = Param_Image.Input_Source();
    QPushButton* const bySource[] = {ui.BT_INPUT_HI, ui.BT_INPUT_LOW, ui.BT_INPUT_OPT};
    for (QPushButton* button :
         {ui.BT_INPUT_HI, ui.BT_INPUT_LOW, ui.BT_INPUT_OPT, ui.BT_INPUT_BT, ui.BT_INPUT_COAX}) {
        const bool selected = source >= 0 && source <= 2 && bySource[source] == button;
        Set_Look(button, selected ? ButtonLook::Selected : ButtonLook::Plain);
    }
}

void ChannelBar::Input_Select(uint8_t source) {
    // Redrawn on every click, even when the source does not change.
    session.apply(RefreshInput, [&] { core.Input_Select(source); });
}

// ---- speaker roles ----

void ChannelBar::Update_Channel_Name() {
    for (int ch = 0; ch < kChannels; ++ch)
        ui.chNameButton[static_cast<size_t>(ch)]->setText(tr2(Role_Name(Param_Image.CH_Name(ch))));
}

void ChannelBar::Channel_Display() {
    for (const RoleMenu& menu : roles)
        for (int code = 0; code < kRoleSubwoofer + 1; ++code)
            menu.entry[code]->setEnabled(true);
    // Codes 0..18 belong to one channel at a time.
    for (int ch = 0; ch < kChannels; ++ch) {
        const uint8_t code = Param_Image.CH_Name(ch);
        if (code < kRoleSubwoofer)
            for (const RoleMenu& menu : roles)
                menu.entry[code]->setEnabled(false);
    }
    Update_Channel_Name();
}

void ChannelBar::Role_Uncheck_All() {
    for (const RoleMenu& menu : roles)
        for (QAction* a : menu.entry) {
            a->setCheckable(false);
            a->setCheckable(true);
        }
}

void ChannelBar::refreshRoles() {
    Channel_Display();
    Role_Uncheck_All();
}

void ChannelBar::Role_Select(int ch, int code) {
    if (code < 0 || code >= kRoleCount) return;
    session.apply(RefreshAll, [&] { core.Role_Select(ch, static_cast<uint8_t>(code)); });
}

void ChannelBar::showTexts(bool en) {
    Update_Channel_Name();
    noiseGate.menu->setTitle(tr2(txt::NoiseGateTitle, en));
    for (int level = 0; level < 7; ++level) {
        noiseGate.level[level]->setText(tr2(txt::NoiseGateLevel[level], en));
        noiseGate.level[level]->setToolTip(tr2(txt::NoiseGateLevelTip[level], en));
    }
    for (const RoleMenu& r : roles) {
        for (int pos = 0; pos < 6; ++pos)
            r.position[pos]->setTitle(tr2(txt::RolePosition[pos], en));
        r.entry[kRoleOffCode]->setText(tr2(txt::RoleOff, en));
        for (int pos = 0; pos < 4; ++pos)
            for (int band = 0; band < 4; ++band)
                r.entry[Role_Menu_Code(pos, band)]->setText(tr2(txt::RoleBand[band], en));
    }
}

} // namespace tarn
