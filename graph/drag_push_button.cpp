#include "graph/drag_push_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QtGlobal>

DragPushButton::DragPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setStyleSheet(
        "QPushButton{border-image: url(:/PNG/Marker.png);background-color: transparent;}");
}

void DragPushButton::mousePressEvent(QMouseEvent* event) {
    Press_X = qRound(event->position().x());
    Press_Y = qRound(event->position().y());
    emit Mark_Point_UpdateEvent(1, 1);
}

void DragPushButton::mouseMoveEvent(QMouseEvent* event) {
    Move_X = qRound(event->position().x());
    Move_Y = qRound(event->position().y());
    const int newX = qBound(limits_.left(), x() + (Move_X - Press_X), limits_.right());
    int newY = y();
    if (!holdTop_) newY = qBound(limits_.top(), y() + (Move_Y - Press_Y), limits_.bottom());
    move(newX, newY);
    emit Drag_Moved();
}

void DragPushButton::keyPressEvent(QKeyEvent* event) {
    emit Mark_Point_UpdateEvent(1, 1);
    constexpr int step = 4;
    const QWidget* p = parentWidget();
    switch (event->key()) {
    case Qt::Key_Left:
        if (x() >= step) move(x() - step, y());
        break;
    case Qt::Key_Right:
        if (p && p->width() - width() - x() >= step) move(x() + step, y());
        break;
    case Qt::Key_Up:
        if (y() >= step) move(x(), y() - step);
        break;
    case Qt::Key_Down:
        if (p && p->height() - height() - y() >= step) move(x(), y() + step);
        break;
    default:
        break;
    }
}
