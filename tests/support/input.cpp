#include "tests/support/input.h"

#include <QApplication>
#include <QLineEdit>
#include <QWheelEvent>
#include <QtTest>

namespace tarn::test {

void wheel(QWidget* w, int delta) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent event(at, w->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

void sendInput(QWidget* w, Input input) {
    const auto key = [w](int code, bool held) {
        QTest::simulateEvent(w, true, code, Qt::NoModifier, QString(), held);
    };
    switch (input) {
    case KeyUp:
        return key(Qt::Key_Up, false);
    case KeyUpHeld:
        return key(Qt::Key_Up, true);
    case KeyDown:
        return key(Qt::Key_Down, false);
    case KeyDownHeld:
        return key(Qt::Key_Down, true);
    case KeyLeft:
        return key(Qt::Key_Left, false);
    case WheelForward:
        return wheel(w, 120);
    case WheelBack:
        return wheel(w, -120);
    case WheelZero:
        return wheel(w, 0);
    }
}

void typeAndReturn(QLineEdit* entry, const QString& text) {
    entry->setText(text);
    QTest::keyClick(entry, Qt::Key_Return);
}

} // namespace tarn::test
