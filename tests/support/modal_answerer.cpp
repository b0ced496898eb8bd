#include "tests/support/modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

namespace tarn::test {

ModalAnswerer::ModalAnswerer(QMessageBox::StandardButton button) : button_(button) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer_.start();
}

ModalAnswerer::~ModalAnswerer() {
    timer_.stop();
}

void ModalAnswerer::poll() {
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w) && w->isVisible()) ++open;
    mostOpen_ = std::max(mostOpen_, open);
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    seen_.push_back(
        {box->windowTitle(), box->text(), box->standardButton(box->defaultButton()), box->icon()});
    if (hook_) hook_(box);
    QAbstractButton* b = box->button(button_);
    if (!b) b = box->buttons().value(0);
    if (b) b->click();
}

} // namespace tarn::test
