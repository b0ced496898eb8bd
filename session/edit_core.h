// The editing rules: each user action applied to the parameter image, its link copies and gang
// group, with the commands to send handed to a sink in the order the unit must hear them. No
// widgets: the views hand these routines their users' actions through the editing session, which
// then asks them to show the image again.
#pragma once

#include "model/commands.h"
#include "model/param_image.h"
#include "session/channel_state.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tarn {

// Where the rules hand the commands they produce. The window's sink drops them while offline.
class CommandSink {
  public:
    virtual ~CommandSink() = default;
    virtual void send(const Payload& payload) = 0;
};

// One change of a band of the edited channel; absent values stay as they are. moveSlider: the
// band's gain slider follows the new gain (slider, entry, step keys, marker, flat/restore, reset).
struct BandEdit {
    std::optional<int> gain; // PC encoding; a typed gain may lie outside 0..240
    std::optional<int> freq;
    std::optional<int> q;
    bool moveSlider = false;
};

// One change of a crossover filter of the edited channel.
struct FilterEdit {
    std::optional<int> type;
    std::optional<int> slope;
    std::optional<int> off;
    std::optional<int> freq;
    bool sendFirst = false; // step and drag paths send the channel before its link copies
};

class EditCore {
  public:
    EditCore(ParamImage& image, PcState& pc, ChannelEditState& chan, CommandSink& sink);

    ParamImage& image() { return image_; }
    PcState& pc() { return pc_; }
    ChannelEditState& chan() { return chan_; }
    CommandSink& sink() { return *sink_; }
    // Tests and the undo recorder put a sink in front of the current one.
    void setSink(CommandSink& sink) { sink_ = &sink; }

    // Where each gain slider of the shown channel stands (0..240). It is not always the stored
    // gain: a gain beyond +-12 dB shows at the end stop. The channel switch and the reset go by
    // it.
    std::array<int, kBands> slider{};
    // Sliders follow the stored gains of the shown channel (start-up, undo, a new image).
    void Sliders_From_Image();

    // ---- EQ of the edited channel ----
    // The one band-edit routine: mirror, link copies (each sent), then the band itself.
    void Band_Edit(int band, const BandEdit& edit);
    // Double-click on a band's LED: flat, or back to the gain it had. False when nothing changed.
    bool Band_Flat_Toggle(int band);
    void EQ_Reset(); // every band off 0 dB (by slider or stored gain) set flat as a slider move
    void EQ_Bypass_Toggle();
    // Copies band b of ch to its linked channels, sending each.
    void EQ_Link_Copy(int ch, int band);

    // ---- crossovers of the edited channel ----
    // The one filter-edit routine: mirror, link copies and the channel's own command.
    void Filter_Edit(bool lowPass, const FilterEdit& edit);
    void Filter_Link_Copy(bool lowPass, int ch);

    // ---- channel strips (any channel) ----
    // False when the gang group refuses the step; nothing changes then.
    bool CH_Vol_Set(int ch, int value);
    bool Vol_Group_Limit(int ch, int delta) const;
    bool CH_Delay_Set(int ch, uint16_t steps);
    bool Delay_Group_Limit(int ch, int delta) const;
    // Up to `steps` single delay steps, each checked on its own; the delay is sent even when
    // none could be taken.
    void CH_Delay_Steps(int ch, int direction, int steps);
    void CH_Phase_Toggle(int ch);
    void CH_Mute_Toggle(int ch);
    void CH_Sync_Toggle(int ch);
    void Total_Vol_Set(int value);
    void Master_Mute_Toggle();

    // ---- whole unit ----
    bool Input_Select(uint8_t source); // false when it already was the source
    void NoiseGate_Select(int level);
    void Role_Select(int ch, uint8_t code);

    // ---- channel selection and link ----
    // Makes ch the edited channel. Every band whose slider has to move is edited as a slider
    // move, so it is copied to the linked channels and sent with its unchanged values. Returns
    // the bands so sent.
    uint32_t Channel_Switch(int ch);
    bool Linked_Any(int ch) const;
    void Link_Unlink();
    // The synchronise of the link dialog with its choices: the reference side (kLinkBase*) and
    // the link mode of the edited channel. They are written here, inside the edit, so that its
    // undo gives back the side and mode in force before. Returns whether anything was linked.
    bool Link_Synchronise(uint8_t base, uint8_t linkMode);
    // A channel received a synchronise copy: it becomes the edited channel and the unit gets its
    // filters and everything of its EQ the copy changed.
    void Link_Received(int ch, const LinkCopyChange& copied);

    // ---- sending from the mirror ----
    void Send_Band(int ch, int band);
    void Send_Filter(bool lowPass, int ch);

  private:
    template <typename Apply> void Group_Each(int ch, Apply apply);
    bool Group_Limit(int ch, int delta, uint16_t (ParamImage::*field)(int) const, int max) const;
    void Delay_Group_Apply(int ch, int delta);

    ParamImage& image_;
    PcState& pc_;
    ChannelEditState& chan_;
    CommandSink* sink_;
};

} // namespace tarn
