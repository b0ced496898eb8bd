// The PC's copy of the unit's 4096-byte parameter memory and the PC-side editing state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarn {

constexpr int kChannels = 6;
constexpr int kBands = 31;
constexpr int kImageSize = 4096;
constexpr int kBlockSize = 20;
constexpr int kBlockCount = 55; // blocks 0..54 cover bytes 0..1099
constexpr int kReadbackSize = kBlockSize * kBlockCount;

constexpr uint16_t kGainFlat = 120;      // PC encoding of 0.0 dB
constexpr uint16_t kGainUnitShift = 120; // unit encoding = PC encoding + 120
constexpr uint16_t kFreqMin = 20;
constexpr uint16_t kFreqMax = 20000;
constexpr uint16_t kVolMax = 600;
constexpr uint16_t kDelayMax = 1500; // 15.00 ms, the editors' limit
constexpr uint8_t kEqQMin = 4;       // Q x 10: 0.4..10.0
constexpr uint8_t kEqQMax = 100;
constexpr uint8_t kEqQDefault = 30;
constexpr uint16_t kNoiseGateMax = 6;

// Byte offsets of the fields. Multi-byte fields are little-endian and may be unaligned.
namespace off {
constexpr int FW_Version = 0;
constexpr int CH_Name = 4;
constexpr int Input_Source = 10;
constexpr int Total_Vol = 24;
constexpr int CH_Vol = 26;
constexpr int CH_Mute = 38;
constexpr int CH_Delay = 44;
constexpr int CH_Phase = 56;
constexpr int EQ_Bypass = 62;
constexpr int NoiseGate = 68;
constexpr int EQ_Freq = 80;
constexpr int EQ_Gain = 452;
constexpr int EQ_Q = 824;
constexpr int HPF_Freq = 1016;
constexpr int HPF_Slope = 1028;
constexpr int HPF_Off = 1034;
constexpr int HPF_Type = 1040;
constexpr int LPF_Freq = 1046;
constexpr int LPF_Slope = 1058;
constexpr int LPF_Off = 1064;
constexpr int LPF_Type = 1070;
} // namespace off

// Bytes with no field the PC knows. They are carried unchanged: read-back overwrites those below
// 1100, scene files keep all of them.
struct ByteRange {
    int offset, size;
};
constexpr ByteRange kReservedRanges[] = {{11, 13}, {70, 10}, {1010, 6}, {1076, kImageSize - 1076}};

constexpr std::array<uint16_t, kBands> kDefaultBandFreq = {
    20,  25,   32,   40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
    800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

// One crossover filter of one channel, as stored in the image.
struct FilterFields {
    int freq, slope, off, type;
};
constexpr FilterFields kHpfFields{off::HPF_Freq, off::HPF_Slope, off::HPF_Off, off::HPF_Type};
constexpr FilterFields kLpfFields{off::LPF_Freq, off::LPF_Slope, off::LPF_Off, off::LPF_Type};

class ParamImage {
  public:
    using Bytes = std::array<uint8_t, kImageSize>;

    Bytes& bytes() { return bytes_; }
    const Bytes& bytes() const { return bytes_; }

    uint8_t u8(int offset) const { return bytes_.at(static_cast<size_t>(offset)); }
    void setU8(int offset, uint8_t v) { bytes_.at(static_cast<size_t>(offset)) = v; }
    uint16_t u16(int offset) const {
        return static_cast<uint16_t>(u8(offset) | (u8(offset + 1) << 8));
    }
    void setU16(int offset, uint16_t v) {
        setU8(offset, static_cast<uint8_t>(v & 0xFF));
        setU8(offset + 1, static_cast<uint8_t>(v >> 8));
    }
    uint32_t u32(int offset) const {
        return static_cast<uint32_t>(u16(offset)) | (static_cast<uint32_t>(u16(offset + 2)) << 16);
    }
    void setU32(int offset, uint32_t v) {
        setU16(offset, static_cast<uint16_t>(v & 0xFFFF));
        setU16(offset + 2, static_cast<uint16_t>(v >> 16));
    }

    // Typed fields. ch is 0..5, b is 0..30.
    uint32_t FW_Version() const { return u32(off::FW_Version); }
    void set_FW_Version(uint32_t v) { setU32(off::FW_Version, v); }
    uint8_t CH_Name(int ch) const { return u8(off::CH_Name + ch); }
    void set_CH_Name(int ch, uint8_t v) { setU8(off::CH_Name + ch, v); }
    uint8_t Input_Source() const { return u8(off::Input_Source); }
    void set_Input_Source(uint8_t v) { setU8(off::Input_Source, v); }
    uint16_t Total_Vol() const { return u16(off::Total_Vol); }
    void set_Total_Vol(uint16_t v) { setU16(off::Total_Vol, v); }
    uint16_t CH_Vol(int ch) const { return u16(off::CH_Vol + 2 * ch); }
    void set_CH_Vol(int ch, uint16_t v) { setU16(off::CH_Vol + 2 * ch, v); }
    uint8_t CH_Mute(int ch) const { return u8(off::CH_Mute + ch); }
    void set_CH_Mute(int ch, uint8_t v) { setU8(off::CH_Mute + ch, v); }
    uint16_t CH_Delay(int ch) const { return u16(off::CH_Delay + 2 * ch); }
    void set_CH_Delay(int ch, uint16_t v) { setU16(off::CH_Delay + 2 * ch, v); }
    uint8_t CH_Phase(int ch) const { return u8(off::CH_Phase + ch); }
    void set_CH_Phase(int ch, uint8_t v) { setU8(off::CH_Phase + ch, v); }
    uint8_t EQ_Bypass(int ch) const { return u8(off::EQ_Bypass + ch); }
    void set_EQ_Bypass(int ch, uint8_t v) { setU8(off::EQ_Bypass + ch, v); }
    uint16_t NoiseGate() const { return u16(off::NoiseGate); }
    void set_NoiseGate(uint16_t v) { setU16(off::NoiseGate, v); }

    uint16_t EQ_Freq(int ch, int b) const { return u16(off::EQ_Freq + 2 * band(ch, b)); }
    void set_EQ_Freq(int ch, int b, uint16_t v) { setU16(off::EQ_Freq + 2 * band(ch, b), v); }
    // PC encoding after normalisation; typed gains below -12 dB are stored as 16-bit two's
    // complement.
    uint16_t EQ_Gain(int ch, int b) const { return u16(off::EQ_Gain + 2 * band(ch, b)); }
    void set_EQ_Gain(int ch, int b, uint16_t v) { setU16(off::EQ_Gain + 2 * band(ch, b), v); }
    int EQ_Gain_Signed(int ch, int b) const { return static_cast<int16_t>(EQ_Gain(ch, b)); }
    uint8_t EQ_Q(int ch, int b) const { return u8(off::EQ_Q + band(ch, b)); }
    void set_EQ_Q(int ch, int b, uint8_t v) { setU8(off::EQ_Q + band(ch, b), v); }

    uint16_t filterFreq(const FilterFields& f, int ch) const { return u16(f.freq + 2 * ch); }
    void setFilterFreq(const FilterFields& f, int ch, uint16_t v) { setU16(f.freq + 2 * ch, v); }
    uint8_t filterSlope(const FilterFields& f, int ch) const { return u8(f.slope + ch); }
    void setFilterSlope(const FilterFields& f, int ch, uint8_t v) { setU8(f.slope + ch, v); }
    uint8_t filterOff(const FilterFields& f, int ch) const { return u8(f.off + ch); }
    void setFilterOff(const FilterFields& f, int ch, uint8_t v) { setU8(f.off + ch, v); }
    uint8_t filterType(const FilterFields& f, int ch) const { return u8(f.type + ch); }
    void setFilterType(const FilterFields& f, int ch, uint8_t v) { setU8(f.type + ch, v); }

    uint16_t HPF_Freq(int ch) const { return filterFreq(kHpfFields, ch); }
    void set_HPF_Freq(int ch, uint16_t v) { setFilterFreq(kHpfFields, ch, v); }
    uint8_t HPF_Slope(int ch) const { return filterSlope(kHpfFields, ch); }
    void set_HPF_Slope(int ch, uint8_t v) { setFilterSlope(kHpfFields, ch, v); }
    uint8_t HPF_Off(int ch) const { return filterOff(kHpfFields, ch); }
    void set_HPF_Off(int ch, uint8_t v) { setFilterOff(kHpfFields, ch, v); }
    uint8_t HPF_Type(int ch) const { return filterType(kHpfFields, ch); }
    void set_HPF_Type(int ch, uint8_t v) { setFilterType(kHpfFields, ch, v); }
    uint16_t LPF_Freq(int ch) const { return filterFreq(kLpfFields, ch); }
    void set_LPF_Freq(int ch, uint16_t v) { setFilterFreq(kLpfFields, ch, v); }
    uint8_t LPF_Slope(int ch) const { return filterSlope(kLpfFields, ch); }
    void set_LPF_Slope(int ch, uint8_t v) { setFilterSlope(kLpfFields, ch, v); }
    uint8_t LPF_Off(int ch) const { return filterOff(kLpfFields, ch); }
    void set_LPF_Off(int ch, uint8_t v) { setFilterOff(kLpfFields, ch, v); }
    uint8_t LPF_Type(int ch) const { return filterType(kLpfFields, ch); }
    void set_LPF_Type(int ch, uint8_t v) { setFilterType(kLpfFields, ch, v); }

    // Stores read-back block n (0..54); a larger n is ignored. Returns whether it was stored.
    bool storeBlock(int n, const uint8_t* data20);

  private:
    static int band(int ch, int b) { return ch * kBands + b; }
    Bytes bytes_{};
};

// State that lives only on the PC, beside the image.
struct PcState {
    uint8_t Cur_CH = 0;
    uint8_t Cur_Band = 0;
    uint8_t Lang_EN = 0;
    uint8_t EQ_Mode = 1;
    uint8_t Master_Mute = 0;
    std::array<std::array<uint16_t, kBands>, kChannels> EQ_Gain_Saved{};
    std::array<std::array<uint8_t, kChannels>, kChannels> Link_Matrix{}; // [src][dst]
    std::array<uint8_t, kChannels> Link_Mode{};                          // per source channel
};

enum LinkModeValue : uint8_t { LinkEqAndFilters = 0, LinkEqOnly = 1, LinkFiltersOnly = 2 };

extern ParamImage Param_Image;
extern PcState Pc;

// Start-up defaults of the image and the PC-side state (no widgets touched).
void Param_Init();

// The rules applied once a read-back is complete: converts EQ gains from the unit's encoding and
// limits out-of-range fields, so that every field the scene-file check looks at is within its
// limits (a saved file must load). Returns the derived master-mute flag (all six mute bytes nonzero
// as received). Widgets are refreshed by the caller.
bool Apply_Validity_Rules(ParamImage& image, PcState& pc);

} // namespace tarn
