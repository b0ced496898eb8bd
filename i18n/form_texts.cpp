#include "i18n/form_texts.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

namespace tarn {

void applyFormTexts(QWidget* window, bool english) {
    for (const FormText& entry : kFormTexts) {
        QWidget* widget = window->findChild<QWidget*>(QString::fromLatin1(entry.objectName));
        const QString text = tr2(entry.text, english);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(text);
    }
    for (const FormText& entry : kFormTips)
        if (QWidget* widget = window->findChild<QWidget*>(QString::fromLatin1(entry.objectName)))
            widget->setToolTip(tr2(entry.text, english));
}

} // namespace tarn
