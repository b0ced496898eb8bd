#include "tests/support/modal_holder.h"

#include "sim/unit_sim.h"
#include "tests/support/window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>

namespace tarn::test {

FrameTimes::FrameTimes() : seen_(sim::unit().frames().size()) {}

void FrameTimes::note() {
    const auto& sent = sim::unit().frames();
    for (; seen_ < sent.size(); ++seen_) {
        const auto& p = sent[seen_].payload;
        frames_.emplace_back(testClock(), QByteArray(reinterpret_cast<const char*>(p.data()),
                                                     static_cast<int>(p.size())));
    }
}

qint64 FrameTimes::timeOf(const QByteArray& prefix, qint64 notBefore) const {
    for (const auto& [at, payload] : frames_)
        if (at >= notBefore && payload.startsWith(prefix)) return at;
    return -1;
}

qint64 FrameTimes::lastTimeOf(const QByteArray& prefix) const {
    qint64 last = -1;
    for (const auto& [at, payload] : frames_)
        if (payload.startsWith(prefix)) last = at;
    return last;
}

int FrameTimes::count(const QByteArray& prefix, qint64 from, qint64 to) const {
    int n = 0;
    for (const auto& [at, payload] : frames_)
        n += at >= from && at <= to && payload.startsWith(prefix) ? 1 : 0;
    return n;
}

ModalHolder::ModalHolder(qint64 holdMs, FrameTimes& times, QMessageBox::StandardButton button)
    : holdMs_(holdMs), times_(times), button_(button) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalHolder::poll);
    timer_.start();
}

ModalHolder::~ModalHolder() {
    timer_.stop();
}

void ModalHolder::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    auto* box = qobject_cast<QMessageBox*>(modal);
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if ((!box && !dialog) || !modal->isVisible()) return;
    auto answer = [&] {
        if (box) {
            QAbstractButton* b = box->button(button_);
            if (!b) b = box->buttons().value(0);
            if (b) b->click();
        } else if (path_.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(path_);
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
            path_.clear();
        }
    };
    if (holding_) { // opened from inside the one being held
        nested << (box ? box->text() : dialog->windowTitle());
        answer();
        return;
    }
    holding_ = true;
    times_.note();
    const qint64 from = testClock();
    held << (box ? box->text() : dialog->windowTitle());
    runAsTimer(holdMs_, [this] { times_.note(); });
    spans.emplace_back(from, testClock());
    answer();
    holding_ = false;
}

} // namespace tarn::test
