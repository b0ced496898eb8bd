#include "session/undo_step.h"

namespace tarn {

UndoStep::UndoStep(EditCore& core, EditRecord record, Gesture gesture, quint64 tag,
                   std::function<void()> afterReplay)
    : core_(core), record_(std::move(record)), gesture_(gesture), tag_(tag),
      afterReplay_(std::move(afterReplay)) {}

void UndoStep::undo() {
    Replay_Record(core_, record_, false);
    applied_ = false;
    if (afterReplay_) afterReplay_();
}

void UndoStep::redo() {
    if (applied_) return; // pushed after the edit itself ran
    Replay_Record(core_, record_, true);
    applied_ = true;
    if (afterReplay_) afterReplay_();
}

bool UndoStep::mergeWith(const QUndoCommand* other) {
    const auto* later = static_cast<const UndoStep*>(other);
    if (gesture_ == Gesture::None || later->gesture_ != gesture_ || later->tag_ != tag_)
        return false;
    Merge_Record(record_, later->record_);
    setObsolete(record_.changesNothing());
    return true;
}

} // namespace tarn
