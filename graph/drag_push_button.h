// The small draggable buttons that sit on the response graph: one per EQ band and one per
// crossover corner. They move themselves; the main window's event filter turns their positions
// into parameters.
#pragma once

#include <QPushButton>
#include <cstdint>

namespace tarn {

// 1 while the mouse button that went down on the HPF / LPF marker is held. Owned by the graph;
// set and cleared by the main window's event filter, read by the markers while they move.
extern uint8_t Drag_HPF;
extern uint8_t Drag_LPF;

// Drag limits of a marker's left and top edge, in the parent's pixels: the pixel a marker is read
// at (5 right of and below its top left corner) stays on the plot, columns 36..1095 and rows
// 50..237. A crossover marker keeps its height while dragged; its placement puts it on the curve.
constexpr int kMarkerMinX = 31;
constexpr int kMarkerMaxX = 1090;
constexpr int kMarkerMinY = 45;
constexpr int kMarkerMaxY = 232;

} // namespace tarn

// Outside the namespace on purpose: style sheets select it by its class name, and a namespaced
// class would only answer to "tarn--DragPushButton".
class DragPushButton : public QPushButton {
    Q_OBJECT

  public:
    DragPushButton(const QString& text, QWidget* parent);

    int pressX() const { return Press_X; }
    int pressY() const { return Press_Y; }
    int moveX() const { return Move_X; }
    int moveY() const { return Move_Y; }

  signals:
    void Mark_Point_UpdateEvent(int X, int Y);
    // After a mouse move has moved the button (band markers are read from where it went).
    void Drag_Moved();

  protected:
    // None of these calls the base class: the button never looks pressed and never emits clicked.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    int Press_X = 0; // where the mouse went down, in the button's own coordinates
    int Press_Y = 0;
    int Move_X = 0; // the last mouse-move point, same coordinates
    int Move_Y = 0;
};

namespace tarn {
using ::DragPushButton;
} // namespace tarn
