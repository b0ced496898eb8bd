// A check of the tune as it stands for what can harm a speaker or clip the unit: tweeters without a
// proper high-pass, woofers and midranges run too low, subwoofers without a low-pass, boosts below
// the high-pass or too large, too little headroom, and the two sides of a pair set differently.
// Findings warn and never block. What needs a figure the tune does not hold (a driver's
// resonance, its power handling) is not guessed.
#pragma once

#include "session/text.h"

#include <vector>

namespace tarn {

class ParamImage;

enum class SafetyRule {
    TweeterHighPass = 1,  // a tweeter's high-pass off, below 2 kHz or at 6 dB/oct
    LowHighPass = 2,      // a midrange's off or below 100 Hz; a woofer's or full-range's off
                          // while a subwoofer plays
    SubwooferLowPass = 3, // a subwoofer's low-pass off
    BoostBelowHighPass = 4,
    BandBoost = 5, // one band above +6 dB
    Headroom = 6,  // the channel's level plus its largest combined boost above 0 dB
    PairMismatch = 7
};

struct SafetyFinding {
    int channel = 0; // 0..5
    int other = -1;  // the other channel of a pair (PairMismatch)
    int band = -1;   // 0..30 for a band's rule
    SafetyRule rule = SafetyRule::TweeterHighPass;
    BilingualText value;  // what was found ("1500 Hz", "+7.5 dB", ...)
    BilingualText advice; // what to do
    BilingualText text;   // the whole finding: channel, rule, value and advice
};

// The rule's name, as findings name it.
const Bilingual& Safety_Rule_Name(SafetyRule rule);

// Every finding of a mirror image (PC gain encoding), channel by channel, rules in order.
std::vector<SafetyFinding> Safety_Check(const ParamImage& image);

} // namespace tarn
