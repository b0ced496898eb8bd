// The small draggable buttons that sit on the response graph: one per EQ band and one per
// crossover corner. They move themselves; the main window's event filter turns their positions
// into parameters.
#pragma once

#include <QPixmap>
#include <QPushButton>
#include <QRect>

namespace tarn {

// Drag limits of a marker's left and top edge at the smallest plot, in the parent's pixels: the
// pixel a marker is read at (5 right of and below its top left corner) stays on the plot, columns
// 36..1095 and rows 50..237. The graph widget sets its markers' limits from its own plot.
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

    // Where the top left corner may go while dragged (inclusive).
    void setDragLimits(const QRect& limits) { limits_ = limits; }
    // While set, a drag moves the button sideways only (a crossover marker being held).
    void setHoldTop(bool hold) { holdTop_ = hold; }
    bool holdTop() const { return holdTop_; }

    // The image the marker shows, stretched over it (a resource path such as ":/PNG/H_On.png").
    // Painted by the marker itself: no style sheet, so that 33 markers cost little to draw.
    void setImage(const QString& resource);
    const QString& image() const { return image_; }

  signals:
    void Mark_Point_UpdateEvent(int X, int Y);
    // After a mouse move has moved the button (band markers are read from where it went).
    void Drag_Moved();

  protected:
    // None of these calls the base class: the button never looks pressed and never emits clicked.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int Press_X = 0; // where the mouse went down, in the button's own coordinates
    int Press_Y = 0;
    int Move_X = 0; // the last mouse-move point, same coordinates
    int Move_Y = 0;
    QRect limits_{QPoint(tarn::kMarkerMinX, tarn::kMarkerMinY),
                  QPoint(tarn::kMarkerMaxX, tarn::kMarkerMaxY)};
    bool holdTop_ = false;
    QString image_;
    QPixmap source_; // the sharpest variant of the image ("@2x" where there is one)
    QPixmap scaled_; // source_ at the marker's size in device pixels, made when first painted
};

namespace tarn {
using ::DragPushButton;
} // namespace tarn
