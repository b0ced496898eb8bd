// One editing session on the parameter image: the editing core, the sink that hands its commands to
// the link, the undo stack and the gesture tag that merges the steps of one drag. Widget-free, so
// the window and a command line share it; the widgets listen for what to refresh.
#pragma once

#include "session/edit_core.h"
#include "session/undo_step.h"

#include <QObject>
#include <functional>
#include <memory>

class QUndoStack;

namespace tarn {

// What to bring up to date after an edit: one refresh per widget family.
enum Refresh : unsigned {
    RefreshBand = 1u << 0, // one band of the EQ page (the band given) and the EQ curve
    RefreshEq = 1u << 1,   // the whole EQ page: bands, bypass, curve
    RefreshCrossover = 1u << 2,
    RefreshOutputs = 1u << 3, // the six strips and the master strip
    RefreshInput = 1u << 4,
    RefreshNoiseGate = 1u << 5,
    RefreshRoles = 1u << 6,
    RefreshChannel = 1u << 7, // channel buttons, the link button
    RefreshAll = 0xFFu & ~RefreshBand,
};

class EditSession : public QObject {
    Q_OBJECT

  public:
    // Without a sink of its own the session sends through the link while the unit is online.
    EditSession(ParamImage& image, PcState& pc, ChannelEditState& chan,
                std::unique_ptr<CommandSink> sink = nullptr, QObject* parent = nullptr);
    ~EditSession() override;

    EditCore& core() { return *core_; }
    QUndoStack* undoStack() const { return undoStack_.get(); }
    bool canUndo() const;
    bool canRedo() const;

    // Runs one user action on the core as one undo step (merged with the earlier steps of the same
    // gesture), then asks for the families to be refreshed, even when nothing changed: an entry
    // whose text was refused must show the stored value again. Tools that set many fields of
    // several channels at once write the image and send through core() inside `edit`.
    void apply(unsigned families, const std::function<void()>& edit,
               Gesture gesture = Gesture::None, int band = -1);
    void undo();
    void redo();
    // A slider drag, a held key, a marker drag or a held step button begins: its steps merge.
    void beginGesture() { ++gestureTag_; }
    // The image was replaced wholesale (read-back, scene recall or load, factory reset, firmware
    // upgrade): the undo history no longer applies.
    void imageReplaced();
    // Shows channel ch on every view (the display part of a channel switch), sending nothing.
    void showChannel(int ch);
    // The image changed outside an edit (a read-back, a language switch): the views of the
    // families named show it again.
    void refreshViews(unsigned families, int band = -1) { emit refreshNeeded(families, band); }

  signals:
    void refreshNeeded(unsigned families, int band);
    void canUndoChanged(bool canUndo);
    void canRedoChanged(bool canRedo);

  private:
    std::unique_ptr<CommandSink> sink_;
    std::unique_ptr<EditCore> core_;
    // Declared after the core: its steps replay through the core, so it goes first.
    std::unique_ptr<QUndoStack> undoStack_;
    quint64 gestureTag_ = 0;
};

} // namespace tarn
