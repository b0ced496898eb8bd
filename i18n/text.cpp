#include "i18n/text.h"

#include "model/param_image.h"

namespace tarn {

QString tr2(const Bilingual& text, bool english) {
    return QString::fromUtf8(english ? text.en : text.zh);
}

QString tr2(const Bilingual& text) {
    return tr2(text, Pc.Lang_EN != 0);
}

} // namespace tarn
