// Answers modal boxes in tests: the next box that opens is recorded (title and text) and closed
// with the chosen button, from a timer, so the code under test runs its real exec().
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

namespace tarn::test {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class ModalAnswerer : public QObject {
    Q_OBJECT
  public:
    // Starts watching; every box that appears is answered with `button` until stop().
    explicit ModalAnswerer(QMessageBox::StandardButton button = QMessageBox::Ok);
    ~ModalAnswerer() override;

    void setButton(QMessageBox::StandardButton button) { button_ = button; }
    // Called with each box before it is answered, to note what else held at that moment.
    void onBox(std::function<void(QMessageBox*)> hook) { hook_ = std::move(hook); }
    const std::vector<SeenBox>& seen() const { return seen_; }
    void clear() { seen_.clear(); }
    // The number of boxes open at one moment, at the most, since the start.
    int mostOpenAtOnce() const { return mostOpen_; }

  private:
    void poll();

    QTimer timer_;
    QMessageBox::StandardButton button_;
    std::function<void(QMessageBox*)> hook_;
    std::vector<SeenBox> seen_;
    int mostOpen_ = 0;
};

} // namespace tarn::test
