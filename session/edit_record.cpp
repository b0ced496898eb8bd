#include "session/edit_record.h"

#include <algorithm>

namespace tarn {

namespace {

enum : uint8_t {
    CodeInput = 0x02,
    CodeVol = 0x04,
    CodeMute = 0x05,
    CodeHpf = 0x06,
    CodeLpf = 0x07,
    CodeBand = 0x08,
    CodeDelay = 0x09,
    CodePhase = 0x0A,
    CodeBypass = 0x0B,
    CodeTotal = 0x0D,
    CodeGate = 0x13,
    CodeName = 0x17,
};

// Passes every command on and keeps the key of each.
class KeyRecorder : public CommandSink {
  public:
    KeyRecorder(CommandSink& next, std::vector<CommandKey>& keys) : next_(next), keys_(keys) {}
    void send(const Payload& p) override {
        if (const auto key = Command_Key_Of(p)) keys_.push_back(*key);
        next_.send(p);
    }

  private:
    CommandSink& next_;
    std::vector<CommandKey>& keys_;
};

PcEditState Pc_Edit_State(const EditCore& core) {
    auto& c = const_cast<EditCore&>(core);
    PcEditState s;
    s.Master_Mute = c.pc().Master_Mute;
    s.EQ_Gain_Saved = c.pc().EQ_Gain_Saved;
    s.Link_Matrix = c.pc().Link_Matrix;
    s.Link_Mode = c.pc().Link_Mode;
    s.Link_Active = c.chan().Link_Active;
    s.Link_Base = c.chan().Link_Base;
    s.Sync_Group = c.chan().Sync_Group;
    return s;
}

void Set_Pc_Edit_State(EditCore& core, const PcEditState& s) {
    core.pc().Master_Mute = s.Master_Mute;
    core.pc().EQ_Gain_Saved = s.EQ_Gain_Saved;
    core.pc().Link_Matrix = s.Link_Matrix;
    core.pc().Link_Mode = s.Link_Mode;
    core.chan().Link_Active = s.Link_Active;
    core.chan().Link_Base = s.Link_Base;
    core.chan().Sync_Group = s.Sync_Group;
}

void Add_Unique(std::vector<CommandKey>& keys, const CommandKey& key) {
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
}

// Offset of a field that is an array over channels: the channel, or -1 outside the array.
int Channel_In(int offset, int base, int width) {
    const int i = offset - base;
    if (i < 0 || i >= kChannels * width) return -1;
    return i / width;
}

} // namespace

bool PcEditState::operator==(const PcEditState& o) const {
    return Master_Mute == o.Master_Mute && EQ_Gain_Saved == o.EQ_Gain_Saved &&
           Link_Matrix == o.Link_Matrix && Link_Mode == o.Link_Mode &&
           Link_Active == o.Link_Active && Link_Base == o.Link_Base && Sync_Group == o.Sync_Group;
}

std::optional<CommandKey> Command_Key_Of(const Payload& p) {
    if (p.size < 2 || p.bytes[0] != 0x05) return std::nullopt;
    const uint8_t code = p.bytes[1];
    switch (code) {
    case CodeInput:
    case CodeTotal:
    case CodeGate:
    case CodeName:
        return CommandKey{code, 0, 0};
    case CodeBand:
        if (p.size < 4) return std::nullopt;
        return CommandKey{code, p.bytes[2], p.bytes[3]};
    case CodeVol:
    case CodeMute:
    case CodeHpf:
    case CodeLpf:
    case CodeDelay:
    case CodePhase:
    case CodeBypass:
        if (p.size < 3) return std::nullopt;
        return CommandKey{code, p.bytes[2], 0};
    default:
        return std::nullopt;
    }
}

std::optional<CommandKey> Command_Key_For_Offset(int o) {
    const auto byChannel = [o](uint8_t code, int base, int width) -> std::optional<CommandKey> {
        const int ch = Channel_In(o, base, width);
        if (ch < 0) return std::nullopt;
        return CommandKey{code, static_cast<uint8_t>(ch), 0};
    };
    const auto byBand = [o](int base, int width) -> std::optional<CommandKey> {
        const int i = (o - base) / width;
        if (o < base || i >= kChannels * kBands) return std::nullopt;
        return CommandKey{CodeBand, static_cast<uint8_t>(i / kBands),
                          static_cast<uint8_t>(i % kBands)};
    };
    if (o >= off::CH_Name && o < off::CH_Name + kChannels) return CommandKey{CodeName, 0, 0};
    if (o == off::Input_Source) return CommandKey{CodeInput, 0, 0};
    if (o == off::Total_Vol || o == off::Total_Vol + 1) return CommandKey{CodeTotal, 0, 0};
    if (o == off::NoiseGate || o == off::NoiseGate + 1) return CommandKey{CodeGate, 0, 0};
    for (const auto& k :
         {byChannel(CodeVol, off::CH_Vol, 2), byChannel(CodeMute, off::CH_Mute, 1),
          byChannel(CodeDelay, off::CH_Delay, 2), byChannel(CodePhase, off::CH_Phase, 1),
          byChannel(CodeBypass, off::EQ_Bypass, 1), byBand(off::EQ_Freq, 2),
          byBand(off::EQ_Gain, 2), byBand(off::EQ_Q, 1)})
        if (k) return k;
    for (const auto* f : {&kHpfFields, &kLpfFields}) {
        const uint8_t code = f == &kHpfFields ? CodeHpf : CodeLpf;
        for (const auto& k : {byChannel(code, f->freq, 2), byChannel(code, f->slope, 1),
                              byChannel(code, f->off, 1), byChannel(code, f->type, 1)})
            if (k) return k;
    }
    return std::nullopt;
}

Payload Command_From_Image(const ParamImage& image, const CommandKey& key) {
    const int ch = key.ch;
    switch (key.code) {
    case CodeInput:
        return Make_Input_Source(image.Input_Source());
    case CodeVol:
        return Make_CH_Vol(ch, image.CH_Vol(ch));
    case CodeMute:
        return Make_CH_Mute(ch, image.CH_Mute(ch));
    case CodeHpf:
        return Make_HPF(ch, image.HPF_Type(ch), image.HPF_Freq(ch), image.HPF_Slope(ch),
                        image.HPF_Off(ch));
    case CodeLpf:
        return Make_LPF(ch, image.LPF_Type(ch), image.LPF_Freq(ch), image.LPF_Slope(ch),
                        image.LPF_Off(ch));
    case CodeBand:
        return Make_EQ_Band(image, ch, key.band);
    case CodeDelay:
        return Make_CH_Delay(ch, image.CH_Delay(ch));
    case CodePhase:
        return Make_CH_Phase(ch, image.CH_Phase(ch));
    case CodeBypass:
        return Make_EQ_Bypass(image, ch);
    case CodeTotal:
        return Make_Total_Vol(image.Total_Vol());
    case CodeGate:
        return Make_NoiseGate(static_cast<uint8_t>(image.NoiseGate()));
    default:
        return Make_CH_Name(image);
    }
}

void Apply_Field_Changes(EditCore& core, const std::function<void(ParamImage&)>& write) {
    const ParamImage::Bytes before = core.image().bytes();
    write(core.image());
    const ParamImage::Bytes& after = core.image().bytes();
    std::vector<CommandKey> keys;
    for (size_t i = 0; i < after.size(); ++i)
        if (before[i] != after[i])
            if (const auto k = Command_Key_For_Offset(static_cast<int>(i))) Add_Unique(keys, *k);
    for (const CommandKey& k : keys)
        core.sink().send(Command_From_Image(core.image(), k));
}

EditRecord Record_Edit(EditCore& core, const std::function<void()>& edit) {
    EditRecord r;
    r.channel = core.pc().Cur_CH;
    r.pcBefore = Pc_Edit_State(core);
    const ParamImage::Bytes before = core.image().bytes();
    CommandSink& next = core.sink();
    KeyRecorder recorder(next, r.commands);
    core.setSink(recorder);
    edit();
    core.setSink(next);
    r.channelAfter = core.pc().Cur_CH;
    r.pcAfter = Pc_Edit_State(core);

    const ParamImage::Bytes& after = core.image().bytes();
    for (size_t i = 0; i < after.size(); ++i) {
        if (before[i] == after[i]) continue;
        r.offsets.push_back(static_cast<uint16_t>(i));
        r.before.push_back(before[i]);
        r.after.push_back(after[i]);
    }
    // One command per key, in the order first sent; changes the edit did not send go last.
    std::vector<CommandKey> keys;
    for (const CommandKey& k : r.commands)
        Add_Unique(keys, k);
    for (uint16_t o : r.offsets)
        if (const auto k = Command_Key_For_Offset(o)) Add_Unique(keys, *k);
    r.commands = std::move(keys);
    return r;
}

void Merge_Record(EditRecord& into, const EditRecord& later) {
    for (size_t i = 0; i < later.offsets.size(); ++i) {
        const auto it =
            std::lower_bound(into.offsets.begin(), into.offsets.end(), later.offsets[i]);
        const size_t k = static_cast<size_t>(it - into.offsets.begin());
        if (it != into.offsets.end() && *it == later.offsets[i]) {
            into.after[k] = later.after[i];
        } else {
            into.offsets.insert(it, later.offsets[i]);
            into.before.insert(into.before.begin() + static_cast<long>(k), later.before[i]);
            into.after.insert(into.after.begin() + static_cast<long>(k), later.after[i]);
        }
    }
    // Bytes the gesture brought back to where they started are no change at all.
    for (size_t k = into.offsets.size(); k-- > 0;) {
        if (into.before[k] != into.after[k]) continue;
        into.offsets.erase(into.offsets.begin() + static_cast<long>(k));
        into.before.erase(into.before.begin() + static_cast<long>(k));
        into.after.erase(into.after.begin() + static_cast<long>(k));
    }
    into.pcAfter = later.pcAfter;
    into.channelAfter = later.channelAfter;
    for (const CommandKey& key : later.commands)
        Add_Unique(into.commands, key);
}

void Replay_Record(EditCore& core, const EditRecord& r, bool redo) {
    ParamImage& image = core.image();
    const std::vector<uint8_t>& bytes = redo ? r.after : r.before;
    for (size_t i = 0; i < r.offsets.size(); ++i)
        image.setU8(r.offsets[i], bytes[i]);
    Set_Pc_Edit_State(core, redo ? r.pcAfter : r.pcBefore);
    core.pc().Cur_CH = redo ? r.channelAfter : r.channel;
    core.Sliders_From_Image();
    for (const CommandKey& key : r.commands)
        core.sink().send(Command_From_Image(image, key));
}

} // namespace tarn
