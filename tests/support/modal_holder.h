// Holds every modal box and file dialog open while the link runs as its own timer would for a
// while of the test clock, as a user who leaves a dialog on screen; then answers it (a box with
// the chosen button, a file dialog with a path or cancel). The frames the unit receives are
// noted with the test clock's time throughout.
#pragma once

#include <QByteArray>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <utility>
#include <vector>

namespace tarn::test {

// The frames the simulated unit received since construction, each with the test clock's time at
// which it was noted. Call note() after every step (and after an action outside the link).
class FrameTimes {
  public:
    FrameTimes();
    void note();
    const std::vector<std::pair<qint64, QByteArray>>& frames() const { return frames_; }
    // Time of the first frame starting with prefix noted at notBefore or later; -1 if none.
    qint64 timeOf(const QByteArray& prefix, qint64 notBefore = 0) const;
    qint64 lastTimeOf(const QByteArray& prefix) const;
    int count(const QByteArray& prefix, qint64 from, qint64 to) const;

  private:
    size_t seen_ = 0;
    std::vector<std::pair<qint64, QByteArray>> frames_;
};

class ModalHolder : public QObject {
    Q_OBJECT
  public:
    ModalHolder(qint64 holdMs, FrameTimes& times,
                QMessageBox::StandardButton button = QMessageBox::Ok);
    ~ModalHolder() override;

    // The next file dialog chooses this path; without one it is cancelled.
    void choose(const QString& path) { path_ = path; }
    // Texts (boxes) and titles (file dialogs) of what was held, in order, and when each opened
    // and closed on the test clock.
    QStringList held;
    std::vector<std::pair<qint64, qint64>> spans;
    // Boxes that opened while another was held (answered at once).
    QStringList nested;

  private:
    void poll();

    QTimer timer_;
    qint64 holdMs_;
    FrameTimes& times_;
    QMessageBox::StandardButton button_;
    QString path_;
    bool holding_ = false;
};

} // namespace tarn::test
