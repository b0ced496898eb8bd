#include "tuning/distance_settings.h"

#include <QSettings>

namespace tarn {

namespace {
QString Key(int ch) {
    return QStringLiteral("distance/ch%1").arg(ch + 1);
}
// Until the application has one settings place of its own.
constexpr char kOrganisation[] = "tarn80x";
constexpr char kApplication[] = "tarn80x";
} // namespace

DistanceTexts Load_Distances() {
    const QSettings s(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
    DistanceTexts texts;
    for (int ch = 0; ch < kChannels; ++ch)
        texts[ch] = s.value(Key(ch)).toString();
    return texts;
}

void Save_Distances(const DistanceTexts& texts) {
    QSettings s(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
    for (int ch = 0; ch < kChannels; ++ch)
        s.setValue(Key(ch), texts[ch]);
}

} // namespace tarn
