#include "session/text.h"

#include "model/param_image.h"

#include <algorithm>

namespace tarn {

QString tr2(const Bilingual& text, bool english) {
    return QString::fromUtf8(english ? text.en : text.zh);
}

QString tr2(const Bilingual& text) {
    return tr2(text, Pc.Lang_EN != 0);
}

QString tr2(const BilingualText& text) {
    return Pc.Lang_EN != 0 ? text.en : text.zh;
}

BilingualText Text_Of(const Bilingual& text) {
    return {QString::fromUtf8(text.zh), QString::fromUtf8(text.en)};
}

namespace {
// One pass, so that an argument holding "%2" (a file name, say) is not filled in again.
QString fill(const QString& pattern, const QStringList& args) {
    QString out;
    for (int i = 0; i < pattern.size(); ++i) {
        const int n = i + 1 < pattern.size() ? pattern[i + 1].digitValue() : -1;
        if (pattern[i] == QLatin1Char('%') && n >= 1 && n <= args.size()) {
            out += withControlsEscaped(args[n - 1]);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}
} // namespace

QString withControlsEscaped(const QString& text) {
    const auto shown = [](QChar c) {
        const QChar::Category category = c.category();
        return category != QChar::Other_Control && category != QChar::Separator_Line &&
               category != QChar::Separator_Paragraph;
    };
    if (std::all_of(text.begin(), text.end(), shown)) return text;
    QString out;
    for (const QChar c : text) {
        if (shown(c))
            out += c;
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else
            out += (c.unicode() < 0x100 ? QLatin1String("\\x") : QLatin1String("\\u")) +
                   QString::number(c.unicode(), 16)
                       .toUpper()
                       .rightJustified(c.unicode() < 0x100 ? 2 : 4, QLatin1Char('0'));
    }
    return out;
}

BilingualText Fill_Text(const Bilingual& pattern, const QStringList& args) {
    const BilingualText text = Text_Of(pattern);
    return {fill(text.zh, args), fill(text.en, args)};
}

} // namespace tarn
