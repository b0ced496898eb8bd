#include "session/distance.h"

#include <algorithm>

namespace tarn {

int Distance_Steps(int cm) {
    // cm / 0.345, rounded half up, in integers: (2 x 1000 cm + 345) / 690.
    return (cm * 2000 + 345) / 690;
}

DelayPlan Delays_For_Distances(const std::array<std::optional<int>, kChannels>& cm) {
    DelayPlan plan;
    for (int ch = 0; ch < kChannels; ++ch)
        if (cm[ch] && (plan.farthest < 0 || *cm[ch] > *cm[plan.farthest])) plan.farthest = ch;
    if (plan.farthest < 0) return plan;
    const int far = *cm[plan.farthest];
    for (int ch = 0; ch < kChannels; ++ch) {
        if (!cm[ch]) continue;
        const int steps = Distance_Steps(far - *cm[ch]);
        if (steps > kDelayMax) plan.over.push_back(ch);
        plan.steps[ch] = static_cast<uint16_t>(std::min<int>(steps, kDelayMax));
    }
    plan.ok = plan.over.empty();
    if (!plan.ok) plan.steps.fill(std::nullopt);
    return plan;
}

std::optional<int> Parse_Distance(const QString& text, bool& ok) {
    const QString t = text.trimmed();
    ok = true;
    if (t.isEmpty()) return std::nullopt;
    const int v = t.toInt(&ok);
    ok = ok && v >= 0 && v <= kDistanceMaxCm;
    if (!ok) return std::nullopt;
    return v;
}

} // namespace tarn
