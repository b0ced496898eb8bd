// The one way the application tells the user something: a modal box with no parent, titled
// "提示" or "Notice" in the current language.
#pragma once

#include "session/text.h"

namespace tarn {

// Information box with an OK button; returns when the user closes it.
void Show_Notice(const Bilingual& text);
void Show_Notice(const BilingualText& text);
// The same with the warning icon, for a request refused (nothing was done), and with the critical
// icon, for an act that failed or was cut short.
void Show_Warning(const Bilingual& text);
void Show_Warning(const BilingualText& text);
void Show_Error(const Bilingual& text);
void Show_Error(const BilingualText& text);
// Question box with Yes and No; true when the user answers Yes.
bool Ask_Question(const Bilingual& text);
bool Ask_Question(const BilingualText& text);
// The same with No as the default button, for a step that cannot be taken back.
bool Ask_Question_Default_No(const BilingualText& text);

} // namespace tarn
