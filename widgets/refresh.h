// Showing a value from the image in a widget: nothing happens when it shows that already, and a
// slider's handler does not run, so a refresh never edits and never sends.
#pragma once

#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

namespace tarn {

inline void Set_Slider(QSlider* slider, int value) {
    if (slider->value() == value) return;
    const QSignalBlocker quiet(slider);
    slider->setValue(value);
}

inline void Set_Text(QLineEdit* entry, const QString& text) {
    if (entry->text() != text) entry->setText(text);
}

} // namespace tarn
