#include "graph/drag_push_button.h"

#include <QFile>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtGlobal>

DragPushButton::DragPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setImage(QStringLiteral(":/PNG/Marker.png"));
}

void DragPushButton::setImage(const QString& resource) {
    if (resource == image_) return;
    image_ = resource;
    // QPixmap shares the loaded image: 31 band markers hold one copy.
    static QHash<QString, QPixmap> loaded;
    auto it = loaded.find(resource);
    if (it == loaded.end()) {
        QString sharp = resource;
        sharp.insert(sharp.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        QPixmap p(QFile::exists(sharp) ? sharp : resource);
        p.setDevicePixelRatio(1.0);
        it = loaded.insert(resource, p);
    }
    source_ = *it;
    scaled_ = QPixmap();
    update();
}

void DragPushButton::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    if (scaled_.size() != device) {
        scaled_ = source_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled_.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, scaled_);
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
