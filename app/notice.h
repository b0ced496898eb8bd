// The one way the application tells the user something: a modal box with no parent, titled
// "提示" or "Notice" in the current language.
#pragma once

#include "i18n/text.h"

namespace tarn {

// Information box with an OK button; returns when the user closes it.
void Show_Notice(const Bilingual& text);
// The same, with %1 in the text replaced by arg.
void Show_Notice(const Bilingual& text, const QString& arg);
// Question box with Yes and No; true when the user answers Yes. No is the default button: every
// question asks before something that cannot be undone, so Return must not confirm it.
bool Ask_Question(const Bilingual& text);

} // namespace tarn
