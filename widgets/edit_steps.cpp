#include "widgets/edit_steps.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace tarn {

std::optional<EqStep> Step_Of(const QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool held = key->isAutoRepeat();
        if (key->key() == Qt::Key_Up) return held ? EqStep::UpHeld : EqStep::Up;
        if (key->key() == Qt::Key_Down) return held ? EqStep::DownHeld : EqStep::Down;
    } else if (event->type() == QEvent::Wheel) {
        const QPoint d = static_cast<const QWheelEvent*>(event)->angleDelta();
        const int delta = d.y() != 0 ? d.y() : d.x();
        if (delta > 0) return EqStep::WheelForward;
        if (delta < 0) return EqStep::WheelBack;
    }
    return std::nullopt;
}

Gesture Gesture_Of(const QEvent* event) {
    return event->type() == QEvent::KeyPress ? Gesture::HeldKey : Gesture::None;
}

} // namespace tarn
