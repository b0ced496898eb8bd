#include "widgets/frameless_dialog.h"

#include "widgets/styles.h"

#include <QMouseEvent>

namespace tarn {

// Frameless from construction: changing the flags of a built, styled dialog re-polishes it all.
FramelessDialog::FramelessDialog(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint) {
    setFont(Fixed_Font(kFontPixels)); // laid out in fixed pixels like the main window
}

void FramelessDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void FramelessDialog::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - dragOffset);
    event->accept();
}

} // namespace tarn
