// The one way the application tells the user something: a modal box with no parent, titled
// "提示" or "Notice" in the current language.
#pragma once

#include "i18n/text.h"

namespace tarn {

// Information box with an OK button; returns when the user closes it.
void Show_Notice(const Bilingual& text);
// The same for a text put together at run time, given in both languages.
void Show_Notice(const QString& zh, const QString& en);
// Question box with Yes and No; true when the user answers Yes.
bool Ask_Question(const Bilingual& text);

} // namespace tarn
