#include "session/edit_core.h"

#include "session/roles.h"

#include <algorithm>

namespace tarn {

namespace {

size_t at(int i) {
    return static_cast<size_t>(i);
}

const FilterFields& Fields_Of(bool lowPass) {
    return lowPass ? kLpfFields : kHpfFields;
}

int Slider_Position(int gain) {
    return std::clamp(gain, 0, 240);
}

} // namespace

EditCore::EditCore(ParamImage& image, PcState& pc, ChannelEditState& chan, CommandSink& sink)
    : image_(image), pc_(pc), chan_(chan), sink_(&sink) {
    Sliders_From_Image();
}

void EditCore::Sliders_From_Image() {
    for (int b = 0; b < kBands; ++b)
        slider[at(b)] = Slider_Position(image_.EQ_Gain_Signed(pc_.Cur_CH, b));
}

void EditCore::Send_Band(int ch, int band) {
    sink_->send(Make_EQ_Band(image_, ch, band));
}

void EditCore::Send_Filter(bool lowPass, int ch) {
    const FilterFields& f = Fields_Of(lowPass);
    const auto type = image_.filterType(f, ch);
    const auto freq = image_.filterFreq(f, ch);
    const auto slope = image_.filterSlope(f, ch);
    const auto off = image_.filterOff(f, ch);
    sink_->send(lowPass ? Make_LPF(ch, type, freq, slope, off)
                        : Make_HPF(ch, type, freq, slope, off));
}

// ---- EQ ----

void EditCore::EQ_Link_Copy(int ch, int band) {
    if (ch < 0 || ch >= kChannels || band < 0 || band >= kBands) return;
    const uint8_t mode = pc_.Link_Mode[at(ch)];
    if (mode != LinkEqAndFilters && mode != LinkEqOnly) return;
    for (int dst = 0; dst < kChannels; ++dst) {
        if (dst == ch || !pc_.Link_Matrix[at(ch)][at(dst)]) continue;
        Copy_Band(image_, dst, ch, band);
        Send_Band(dst, band);
    }
}

// Both values of a drag reach the mirror before anything is sent, so the unit never hears the
// new gain at the old frequency; the linked copies go out before the band itself.
void EditCore::Band_Edit(int band, const BandEdit& edit) {
    if (band < 0 || band >= kBands) return;
    const uint8_t ch = pc_.Cur_CH;
    pc_.Cur_Band = static_cast<uint8_t>(band);
    if (edit.gain) image_.set_EQ_Gain(ch, band, static_cast<uint16_t>(*edit.gain));
    if (edit.freq) image_.set_EQ_Freq(ch, band, static_cast<uint16_t>(*edit.freq));
    if (edit.q) image_.set_EQ_Q(ch, band, static_cast<uint8_t>(*edit.q));
    if (edit.moveSlider && edit.gain) slider[at(band)] = Slider_Position(*edit.gain);
    EQ_Link_Copy(ch, band);
    Send_Band(ch, band);
}

bool EditCore::Band_Flat_Toggle(int band) {
    if (band < 0 || band >= kBands) return false;
    const uint8_t ch = pc_.Cur_CH;
    pc_.Cur_Band = static_cast<uint8_t>(band);
    const uint16_t gain = image_.EQ_Gain(ch, band);
    uint16_t& saved = pc_.EQ_Gain_Saved[ch][at(band)];
    BandEdit edit;
    edit.moveSlider = true;
    if (gain != kGainFlat) {
        saved = gain;
        edit.gain = kGainFlat;
    } else if (saved != kGainFlat) {
        edit.gain = static_cast<int16_t>(saved);
    } else {
        return false;
    }
    Band_Edit(band, edit);
    return true;
}

void EditCore::EQ_Reset() {
    for (int b = 0; b < kBands; ++b) {
        if (slider[at(b)] != kGainFlat || image_.EQ_Gain(pc_.Cur_CH, b) != kGainFlat) {
            BandEdit edit;
            edit.gain = kGainFlat;
            edit.moveSlider = true;
            Band_Edit(b, edit);
        }
    }
}

void EditCore::EQ_Bypass_Toggle() {
    const uint8_t ch = pc_.Cur_CH;
    image_.set_EQ_Bypass(ch, image_.EQ_Bypass(ch) ? 0 : 1);
    sink_->send(Make_EQ_Bypass(image_, ch));
}

// ---- crossovers ----

void EditCore::Filter_Link_Copy(bool lowPass, int ch) {
    if (ch < 0 || ch >= kChannels) return;
    const uint8_t mode = pc_.Link_Mode[at(ch)];
    if (mode != LinkEqAndFilters && mode != LinkFiltersOnly) return;
    const FilterFields& f = Fields_Of(lowPass);
    for (int dst = 0; dst < kChannels; ++dst) {
        if (dst == ch || !pc_.Link_Matrix[at(ch)][at(dst)]) continue;
        Copy_Filter(image_, f, dst, ch);
        Send_Filter(lowPass, dst);
    }
}

void EditCore::Filter_Edit(bool lowPass, const FilterEdit& edit) {
    const uint8_t ch = pc_.Cur_CH;
    const FilterFields& f = Fields_Of(lowPass);
    if (edit.type) image_.setFilterType(f, ch, static_cast<uint8_t>(*edit.type));
    if (edit.slope) image_.setFilterSlope(f, ch, static_cast<uint8_t>(*edit.slope));
    if (edit.off) image_.setFilterOff(f, ch, static_cast<uint8_t>(*edit.off));
    if (edit.freq) image_.setFilterFreq(f, ch, static_cast<uint16_t>(*edit.freq));
    if (edit.sendFirst) Send_Filter(lowPass, ch);
    Filter_Link_Copy(lowPass, ch);
    if (!edit.sendFirst) Send_Filter(lowPass, ch);
}

// ---- channel strips and their gang group ----

// Every other channel that is ganged with ch, in ascending order; a lone engaged channel has none.
template <typename Apply> void EditCore::Group_Each(int ch, Apply apply) {
    if (!chan_.Sync_Group[at(ch)]) return;
    for (int j = 0; j < kChannels; ++j)
        if (j != ch && chan_.Sync_Group[at(j)]) apply(j);
}

// Whether a step of delta would take a ganged partner out of 0..max.
bool EditCore::Group_Limit(int ch, int delta, uint16_t (ParamImage::*field)(int) const,
                           int max) const {
    if (!chan_.Sync_Group[at(ch)]) return false;
    for (int j = 0; j < kChannels; ++j) {
        if (j == ch || !chan_.Sync_Group[at(j)]) continue;
        const int v = (image_.*field)(j) + delta;
        if (v < 0 || v > max) return true;
    }
    return false;
}

bool EditCore::Vol_Group_Limit(int ch, int delta) const {
    return Group_Limit(ch, delta, &ParamImage::CH_Vol, kVolMax);
}

bool EditCore::Delay_Group_Limit(int ch, int delta) const {
    return Group_Limit(ch, delta, &ParamImage::CH_Delay, kDelayMax);
}

void EditCore::Delay_Group_Apply(int ch, int delta) {
    Group_Each(ch, [&](int j) {
        const int v = std::clamp(image_.CH_Delay(j) + delta, 0, int(kDelayMax));
        image_.set_CH_Delay(j, static_cast<uint16_t>(v));
        sink_->send(Make_CH_Delay(j, static_cast<uint16_t>(v)));
    });
}

bool EditCore::CH_Vol_Set(int ch, int value) {
    const int old = image_.CH_Vol(ch);
    const int delta = value - old;
    if (delta == 0) return true;
    if (Vol_Group_Limit(ch, delta)) return false;
    image_.set_CH_Vol(ch, static_cast<uint16_t>(value));
    Group_Each(ch, [&](int j) {
        const int v = std::clamp(image_.CH_Vol(j) + delta, 0, int(kVolMax));
        image_.set_CH_Vol(j, static_cast<uint16_t>(v));
        sink_->send(Make_CH_Vol(j, static_cast<uint16_t>(v)));
    });
    sink_->send(Make_CH_Vol(ch, static_cast<uint16_t>(value)));
    return true;
}

bool EditCore::CH_Delay_Set(int ch, uint16_t steps) {
    const int delta = steps - image_.CH_Delay(ch);
    if (Delay_Group_Limit(ch, delta)) return false;
    image_.set_CH_Delay(ch, steps);
    if (delta != 0) Delay_Group_Apply(ch, delta);
    sink_->send(Make_CH_Delay(ch, steps));
    return true;
}

void EditCore::CH_Delay_Steps(int ch, int direction, int steps) {
    for (int k = 0; k < steps; ++k) {
        const int d = image_.CH_Delay(ch);
        const bool room = direction > 0 ? d <= kDelayMax - 1 : d != 0;
        if (!room || Delay_Group_Limit(ch, direction)) continue;
        image_.set_CH_Delay(ch, static_cast<uint16_t>(d + direction));
        Delay_Group_Apply(ch, direction);
    }
    sink_->send(Make_CH_Delay(ch, image_.CH_Delay(ch)));
}

// Each ganged channel is toggled, not copied.
void EditCore::CH_Phase_Toggle(int ch) {
    const auto toggle = [this](int j) {
        image_.set_CH_Phase(j, image_.CH_Phase(j) == 1 ? 0 : 1);
        sink_->send(Make_CH_Phase(j, image_.CH_Phase(j)));
    };
    image_.set_CH_Phase(ch, image_.CH_Phase(ch) == 1 ? 0 : 1);
    Group_Each(ch, toggle);
    sink_->send(Make_CH_Phase(ch, image_.CH_Phase(ch)));
}

void EditCore::CH_Mute_Toggle(int ch) {
    if (image_.CH_Mute(ch) == 1) {
        image_.set_CH_Mute(ch, 0);
        pc_.Master_Mute = 0;
    } else {
        image_.set_CH_Mute(ch, 1);
    }
    Group_Each(ch, [this](int j) {
        image_.set_CH_Mute(j, image_.CH_Mute(j) == 1 ? 0 : 1);
        sink_->send(Make_CH_Mute(j, image_.CH_Mute(j)));
    });
    sink_->send(Make_CH_Mute(ch, image_.CH_Mute(ch)));
}

void EditCore::CH_Sync_Toggle(int ch) {
    uint8_t& engaged = chan_.Sync_Group[at(ch)];
    engaged = engaged ? 0 : 1;
}

void EditCore::Total_Vol_Set(int value) {
    if (value == image_.Total_Vol()) return;
    image_.set_Total_Vol(static_cast<uint16_t>(value));
    sink_->send(Make_Total_Vol(static_cast<uint16_t>(value)));
}

void EditCore::Master_Mute_Toggle() {
    const uint8_t mute = pc_.Master_Mute == 0 ? 1 : 0;
    pc_.Master_Mute = mute;
    for (int ch = 0; ch < kChannels; ++ch) {
        image_.set_CH_Mute(ch, mute);
        sink_->send(Make_CH_Mute(ch, mute));
    }
}

// ---- whole unit ----

bool EditCore::Input_Select(uint8_t source) {
    if (image_.Input_Source() == source) return false;
    image_.set_Input_Source(source);
    sink_->send(Make_Input_Source(source));
    return true;
}

void EditCore::NoiseGate_Select(int level) {
    if (level < 0 || level > 6) return;
    image_.set_NoiseGate(static_cast<uint16_t>(level));
    sink_->send(Make_NoiseGate(static_cast<uint8_t>(level)));
}

void EditCore::Role_Select(int ch, uint8_t code) {
    if (ch < 0 || ch >= kChannels) return;
    pc_.Cur_CH = static_cast<uint8_t>(ch);
    image_.set_CH_Name(ch, code);
    Role_Apply_Crossover(image_, ch, code);
    sink_->send(Make_CH_Name(image_));
    Channel_Switch(ch);
    if (code == kRoleOff) return;
    Send_Filter(false, ch);
    Send_Filter(true, ch);
}

// ---- channel selection and link ----

uint32_t EditCore::Channel_Switch(int ch) {
    if (ch < 0 || ch >= kChannels) return 0;
    pc_.Cur_CH = static_cast<uint8_t>(ch);
    uint32_t sent = 0;
    for (int b = 0; b < kBands; ++b) {
        const int gain = image_.EQ_Gain_Signed(ch, b);
        if (gain != Slider_Position(gain)) {
            slider[at(b)] = Slider_Position(gain); // shown at the end stop, not stored
        } else if (slider[at(b)] != gain) {
            BandEdit edit;
            edit.gain = gain;
            edit.moveSlider = true;
            Band_Edit(b, edit);
            sent |= 1u << b;
        }
    }
    pc_.Cur_Band = 0;
    return sent;
}

bool EditCore::Linked_Any(int ch) const {
    const auto& row = pc_.Link_Matrix[at(ch)];
    return std::any_of(row.begin(), row.end(), [](uint8_t v) { return v != 0; });
}

void EditCore::Link_Unlink() {
    const int ch = pc_.Cur_CH;
    chan_.Link_Active = 0;
    for (int j = 0; j < kChannels; ++j) {
        pc_.Link_Matrix[at(ch)][at(j)] = 0;
        pc_.Link_Matrix[at(j)][at(ch)] = 0;
    }
    chan_.Link_Base = kLinkBaseNone;
}

bool EditCore::Link_Synchronise(uint8_t base, uint8_t linkMode) {
    // The edited channel as it was when the synchronise began: each link makes the receiving
    // channel the edited one.
    const int cur = pc_.Cur_CH;
    chan_.Link_Base = base;
    pc_.Link_Mode[at(cur)] = linkMode;
    chan_.Link_Active = 1;
    auto& mode = pc_.Link_Mode;
    const auto link = [this](int a, int b) {
        pc_.Link_Matrix[at(a)][at(b)] = 1;
        pc_.Link_Matrix[at(b)][at(a)] = 1;
    };
    const LinkPairing pairing = Link_Pairing(image_, cur, chan_.Link_Base == kLinkBaseLeft);
    for (const int j : pairing.channels) {
        link(cur, j);
        if (pairing.editedIsReference) {
            // The edited channel is the reference: it is copied to its partner.
            const LinkCopyChange copied = Link_Parameter_Copy(image_, j, cur, mode[at(cur)]);
            mode[at(j)] = mode[at(cur)];
            Link_Received(j, copied);
        } else {
            // The edited channel is the other side: the reference is copied into it, by the
            // reference's own mode.
            Link_Received(cur, Link_Parameter_Copy(image_, cur, j, mode[at(j)]));
        }
    }
    return !pairing.channels.empty();
}

void EditCore::Link_Received(int ch, const LinkCopyChange& copied) {
    if (ch < 0 || ch >= kChannels) return;
    if (chan_.Link_Active == 0) {
        chan_.Link_Base = kLinkBaseNone;
        return;
    }
    const uint32_t sentBySwitch = Channel_Switch(ch);
    Send_Filter(false, ch);
    Send_Filter(true, ch);
    // The bypass and every band the copy changed that the switch did not send (frequency or Q
    // alone, a gain the slider already stood at, a gain beyond the slider): without these the
    // unit would keep values the window no longer shows.
    if (!copied.eq) return;
    sink_->send(Make_EQ_Bypass(image_, ch));
    for (int b = 0; b < kBands; ++b) {
        const uint32_t bit = 1u << b;
        if ((copied.bands & bit) && !(sentBySwitch & bit)) Send_Band(ch, b);
    }
}

} // namespace tarn
