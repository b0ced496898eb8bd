// A dialog without a system frame, moved by dragging it with the left mouse button.
#pragma once

#include <QDialog>
#include <QPoint>

namespace tarn {

class FramelessDialog : public QDialog {
    Q_OBJECT

  public:
    explicit FramelessDialog(QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QPoint dragOffset; // press position on the screen minus the dialog's top-left corner
};

} // namespace tarn
