// The steps the Up/Down keys and the wheel ask of a value entry, shared by the EQ page and the
// crossover panel.
#pragma once

#include "session/eq_format.h"
#include "session/undo_step.h"

#include <optional>

class QEvent;

namespace tarn {

// The step an Up/Down key press or a wheel turn asks for; nothing for any other event.
std::optional<EqStep> Step_Of(const QEvent* event);

// The step's gesture: a held key's repeats merge into the press that began them.
Gesture Gesture_Of(const QEvent* event);

} // namespace tarn
