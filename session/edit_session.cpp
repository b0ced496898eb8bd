#include "session/edit_session.h"

#include "link/link_machine.h"
#include "link/send.h"

#include <QUndoStack>

namespace tarn {

namespace {

// Commands of the editing core go out while the unit is online; the frame sender adds its own
// drop rules (sending suppressed, a read-back in progress).
class LinkSink : public CommandSink {
  public:
    void send(const Payload& p) override {
        if (Link_Online()) Send_Payload(p);
    }
};

} // namespace

EditSession::EditSession(ParamImage& image, PcState& pc, ChannelEditState& chan,
                         std::unique_ptr<CommandSink> sink, QObject* parent)
    : QObject(parent), sink_(sink ? std::move(sink) : std::make_unique<LinkSink>()),
      core_(std::make_unique<EditCore>(image, pc, chan, *sink_)),
      undoStack_(std::make_unique<QUndoStack>()) {
    connect(undoStack_.get(), &QUndoStack::canUndoChanged, this, &EditSession::canUndoChanged);
    connect(undoStack_.get(), &QUndoStack::canRedoChanged, this, &EditSession::canRedoChanged);
}

EditSession::~EditSession() {
    // The stack announces its clearing as it goes; nobody may hear that from a session going away.
    undoStack_->disconnect(this);
    undoStack_.reset();
}

bool EditSession::canUndo() const {
    return undoStack_->canUndo();
}

bool EditSession::canRedo() const {
    return undoStack_->canRedo();
}

void EditSession::apply(unsigned families, const std::function<void()>& edit, Gesture gesture,
                        int band) {
    EditRecord record = Record_Edit(*core_, edit);
    emit refreshNeeded(families, band);
    if (record.changesNothing()) return;
    const quint64 tag = gesture == Gesture::None ? 0 : gestureTag_;
    undoStack_->push(new UndoStep(*core_, std::move(record), gesture, tag,
                                  [this] { emit refreshNeeded(RefreshAll, -1); }));
}

void EditSession::undo() {
    undoStack_->undo();
}

void EditSession::redo() {
    undoStack_->redo();
}

void EditSession::imageReplaced() {
    undoStack_->clear();
    core_->Sliders_From_Image();
}

void EditSession::showChannel(int ch) {
    if (ch < 0 || ch >= kChannels) return;
    core_->pc().Cur_CH = static_cast<uint8_t>(ch);
    core_->pc().Cur_Band = 0;
    emit refreshNeeded(RefreshChannel | RefreshEq | RefreshCrossover | RefreshOutputs, -1);
}

} // namespace tarn
