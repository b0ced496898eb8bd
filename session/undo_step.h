// An edit on the undo stack. Steps of one gesture (a slider drag, a held key, a marker drag)
// carry the same gesture tag and merge into one.
#pragma once

#include "session/edit_record.h"

#include <QUndoCommand>
#include <functional>

namespace tarn {

// Kinds of gesture whose steps merge; an edit outside a gesture does not merge.
enum class Gesture { None = -1, Slider = 1, HeldKey, MarkerDrag, StepButton };

class UndoStep : public QUndoCommand {
  public:
    // The edit has been applied already; the first redo() that push() makes does nothing.
    // afterReplay brings the widgets up to date after an undo or redo.
    UndoStep(EditCore& core, EditRecord record, Gesture gesture, quint64 tag,
             std::function<void()> afterReplay);

    void undo() override;
    void redo() override;
    int id() const override { return static_cast<int>(gesture_); }
    bool mergeWith(const QUndoCommand* other) override;

    const EditRecord& record() const { return record_; }

  private:
    EditCore& core_;
    EditRecord record_;
    Gesture gesture_;
    quint64 tag_;
    std::function<void()> afterReplay_;
    bool applied_ = true;
};

} // namespace tarn
