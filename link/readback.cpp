// Decoding the unit's replies into the mirror, the end of the read-back, and the refresh of every
// control from the mirror.
#include "app/form.h"
#include "app/notice.h"
#include "app/tarn80x.h"
#include "link/link_state.h"
#include "link/link_tick.h"
#include "model/param_image.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace tarn {

namespace {

// Sending stays suppressed for the life of the guard, and is released on every path out.
struct SendSuppression {
    SendSuppression() { Link.Send_Suppressed = 1; }
    ~SendSuppression() { Link.Send_Suppressed = 0; }
};

bool nameMatches() {
    // Only the bytes this reply carried count; what an earlier, longer reply left stays out.
    const int carried = std::min<int>(Link.Reply_Data_Len, 16);
    QByteArray name;
    for (int i = 0; i < carried; ++i) {
        const uint8_t b = Link.Reply_Data[static_cast<size_t>(i)];
        if (b == 0x00 || b == 0xFF) break;
        name.append(static_cast<char>(b));
    }
    return name == Expected_Name;
}

} // namespace

void Tarn80X::Name_Check() {
    LinkState& l = Link;
    if (nameMatches()) {
        l.Online = 1;
        l.Readback_Active = 1;
        l.Request_Pending = 0;
        l.Readback_Block = 0;
        l.Link_State = 1;
        l.SceneName_Active = 0;
        LinkTick.attempts = 0;
        ui->TickBar->setValue(1);
        ui->TickBar->show();
        return;
    }
    Link_Go_Offline();
    ui->TickBar->hide();
    // A refused unit is asked again only now and then, and named once until it is unplugged.
    LinkTick.wrongNameWait = kWrongNameRetryTicks;
    if (!LinkTick.wrongNameSeen && !LinkTick.noticeOpen) {
        LinkTick.wrongNameSeen = 1;
        LinkTick.noticeOpen = 1;
        Show_Notice(txt::NameMismatch);
        LinkTick.noticeOpen = 0;
    }
}

void Tarn80X::Reply_Dispatch() {
    LinkState& l = Link;
    const auto& d = l.Reply_Data;
    const int len = l.Reply_Data_Len;
    switch (l.Reply_Code) {
    case 0x16:
        Name_Check();
        break;
    case 0xAA: {
        // Only the block that was asked for is stored, and only during the read-back: a late or
        // stray block reply would otherwise put the unit's encoding into a normalised mirror.
        if (len < 1 + kBlockSize || !l.Readback_Active || d[0] != l.Readback_Block) break;
        Param_Image.storeBlock(d[0], &d[1]);
        LinkTick.attempts = 0;
        ++l.Readback_Block;
        if (l.Readback_Block < kBlockCount) {
            ui->TickBar->setValue(l.Readback_Block);
        } else {
            l.Readback_Active = 0;
            ui->TickBar->hide();
            Readback_Complete();
        }
        break;
    }
    case 0x10: {
        const int k = d[0];
        if (len < 1 || k < 1 || k > 9) break;
        auto& entry = Scenes.Scene_Name[static_cast<size_t>(k - 1)];
        if (len >= 17 && d[1] >= 0x41 && d[1] <= 0x7A) {
            std::copy(&d[1], &d[17], entry.begin());
            Scenes.Scene_Valid[static_cast<size_t>(k - 1)] = 1;
        } else {
            Scene_Name_Fallback(k);
        }
        if (l.SceneName_Active && k == l.SceneName_Index) {
            LinkTick.attempts = 0;
            if (++l.SceneName_Index > 9) l.SceneName_Active = 0;
        }
        break;
    }
    case 0x02:
        if (len < 1) break;
        Param_Image.set_Input_Source(d[0] > 2 ? 0 : d[0]);
        Show_Input_Buttons();
        break;
    case 0x0D:
        if (len < 2) break;
        Param_Image.set_Total_Vol(static_cast<uint16_t>(d[0] + 256 * d[1]));
        break;
    default:
        break;
    }
}

void Tarn80X::Readback_Complete() {
    Link.Link_State = 2;
    ui->TickBar->hide();
    {
        SendSuppression quiet;
        Update_All_State();
    }
    Image_Replaced();
    Show_Link_Status();
    Link.SceneName_Active = 1;
    Link.SceneName_Index = 1;
    Link.Request_Pending = 0;
    LinkTick.attempts = 0;
}

void Tarn80X::Update_All_State() {
    // Limits every field first; the master mute is judged on the mute bytes as received.
    Apply_Validity_Rules(Param_Image, Pc);
    Show_Input_Buttons();
    ui->Slider_Total_Bar->setValue(Param_Image.Total_Vol());
    ui->BT_MainMute->setStyleSheet(Pc.Master_Mute ? kStyleSelected : kStyleUnselected);
    Role_Refresh();
    Show_Channel_Outputs();
    for (int ch = 0; ch < kChannels; ++ch) {
        Draw_Phase_Button(ch);
        Draw_Mute_Button(ch);
    }
    const uint16_t gate = Param_Image.NoiseGate();
    if (gate <= 6) menus.noiseGateLevel[gate]->setChecked(true);
    BT_CH_Switch(0);
}

} // namespace tarn
