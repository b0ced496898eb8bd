// The scene actions' side of a transfer: whether one may start, and the progress display while the
// link machine runs its job.
#pragma once

#include "link/transfer_job.h"
#include "session/text.h"

#include <QMetaObject>
#include <functional>
#include <memory>

namespace tarn {

class SceneActions;

// One transfer at a time for the view that owns it.
class SceneTransfer {
  public:
    explicit SceneTransfer(SceneActions& view);
    ~SceneTransfer(); // abandon()
    SceneTransfer(const SceneTransfer&) = delete;
    SceneTransfer& operator=(const SceneTransfer&) = delete;

    // True from the start of a transfer's job until its result has been handled.
    bool running() const { return current != nullptr; }

    // Whether a transfer may start now. One asked while another runs is ignored (and logged);
    // while the scene names are still being read the action waits for them (retry runs once they
    // are read, or is dropped with the connect notice when the link goes down meanwhile); when the
    // link is not ready the user is told to connect first.
    bool mayStart(std::function<void()> retry);

    // Runs the job on the link with the progress display: the scene and option menus disabled,
    // the bar shown at firstProgress and following the job, and beside it a Cancel button for a
    // job that only reads or a note that a writing job cannot be stopped. done gets the result
    // once the display is taken down.
    void run(std::unique_ptr<TransferJob> job, int firstProgress,
             std::function<void(JobResult)> done);

    // The view is going away: a transfer's display and a waiting action are dropped (the link's
    // job, if any, is stopped by the link's own reset or shutdown).
    void abandon();

    // A transfer that could not finish: a failed write has been reported already (and the link
    // is offline); otherwise the user is told, and when the unit may hold part of the new data
    // (unitChanged), the link starts afresh so that the image is read back from the unit. A
    // cancelled job is not reported.
    void stopped(JobResult result, const Bilingual& text, bool unitChanged);

  private:
    // The running transfer's hold on the view: the menus it disabled, and what runs at its end.
    struct Current {
        bool sceneMenuWasEnabled = true;
        bool optionMenuWasEnabled = true;
        std::function<void(JobResult)> done;
        QMetaObject::Connection finished;
    };

    void dropWaiting();
    void end(JobResult result);

    SceneActions& view;
    std::unique_ptr<Current> current;
    // An action waiting for the scene names to be read.
    std::function<void()> waiting;
    QMetaObject::Connection waitIdle;
    QMetaObject::Connection waitStatus;
};

} // namespace tarn
