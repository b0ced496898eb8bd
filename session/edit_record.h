// One user edit as bytes, for undo and redo: the image bytes and PC-side link/gang state it
// changed, before and after, and the commands that carry them in the order the edit sent them.
// Widget-free: tests record, merge and replay edits on an image with a recording sink.
#pragma once

#include "session/edit_core.h"

#include <functional>
#include <optional>
#include <vector>

namespace tarn {

// A write command without its values: the code and the channel and band it addresses.
struct CommandKey {
    uint8_t code = 0;
    uint8_t ch = 0;
    uint8_t band = 0;
    bool operator==(const CommandKey& o) const {
        return code == o.code && ch == o.ch && band == o.band;
    }
};

// The key of an edit command (class 0x05 that carries image fields); nothing for others.
std::optional<CommandKey> Command_Key_Of(const Payload& payload);
// The command that carries the image field at a byte offset; nothing for bytes no command sends.
std::optional<CommandKey> Command_Key_For_Offset(int offset);
// The command of a key, with its values taken from the image.
Payload Command_From_Image(const ParamImage& image, const CommandKey& key);

// PC-side state an edit may change beside the image.
struct PcEditState {
    uint8_t Master_Mute = 0;
    std::array<std::array<uint16_t, kBands>, kChannels> EQ_Gain_Saved{};
    std::array<std::array<uint8_t, kChannels>, kChannels> Link_Matrix{};
    std::array<uint8_t, kChannels> Link_Mode{};
    uint8_t Link_Active = 0;
    uint8_t Link_Base = 0;
    std::array<uint8_t, kChannels> Sync_Group{};
    bool operator==(const PcEditState& o) const;
    bool operator!=(const PcEditState& o) const { return !(*this == o); }
};

struct EditRecord {
    std::vector<uint16_t> offsets; // image bytes that changed, ascending
    std::vector<uint8_t> before, after;
    PcEditState pcBefore, pcAfter;
    std::vector<CommandKey> commands; // as the edit sent them, then any change it did not send
    uint8_t channel = 0;              // the edited channel when the edit began
    uint8_t channelAfter = 0;         // and when it ended (a role choice or link may move it)
    bool changesNothing() const { return offsets.empty() && pcBefore == pcAfter; }
};

// A tool's edit of many fields of several channels (an imported EQ, a distance alignment):
// `write` changes the image as it likes, then every command that carries a changed field is sent,
// in the order of the fields in the image. EditSession::apply runs it, to make the edit one undo
// step.
void Apply_Field_Changes(EditCore& core, const std::function<void(ParamImage&)>& write);

// Runs an edit on the core and records what it changed and sent. The commands still reach the
// core's sink as the edit makes them.
EditRecord Record_Edit(EditCore& core, const std::function<void()>& edit);
// A later step of the same gesture folded into an earlier one: the earlier's before, the later's
// after.
void Merge_Record(EditRecord& into, const EditRecord& later);
// Writes one side of a record back (undo: before, redo: after), makes its channel the edited one
// and sends the commands carrying every changed field in the order the edit sent them.
void Replay_Record(EditCore& core, const EditRecord& record, bool redo);

} // namespace tarn
