// Keyboard and wheel input for the numeric entries, as a user gives it.
#pragma once

class QLineEdit;
class QString;
class QWidget;

namespace tarn::test {

enum Input { KeyUp, KeyUpHeld, KeyDown, KeyDownHeld, WheelForward, WheelBack, WheelZero, KeyLeft };

// One key press (held = an auto-repeat press) or one wheel notch, delivered to w.
void sendInput(QWidget* w, Input input);
// A wheel turn of `delta` eighths of a degree over the middle of w.
void wheel(QWidget* w, int delta);
// Replaces the entry's text and presses Return.
void typeAndReturn(QLineEdit* entry, const QString& text);

} // namespace tarn::test
