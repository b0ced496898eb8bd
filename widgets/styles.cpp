#include "widgets/styles.h"

#include "session/menu_texts.h"

#include <QFont>
#include <QMenu>
#include <QPushButton>

namespace tarn {

QString Button_Sheet(const QString& objectName, ButtonLook look) {
    static const char kLit[] = "background-color: rgb(204, 204, 204);color:red;border:1px groove "
                               "gray;border-radius:6px;padding:1px 4px;border-style: outset;";
    const char* body = look == ButtonLook::Selected ? kStyleSelected
                       : look == ButtonLook::Lit    ? kLit
                                                    : kStyleUnselected;
    return QStringLiteral("QPushButton#") + objectName + QLatin1Char('{') + QLatin1String(body) +
           QLatin1Char('}');
}

QMenu* darkMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setStyleSheet(txt::MenuStyle);
    return menu;
}

QFont Fixed_Font(int pixels) {
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(pixels);
    return font;
}

void Set_Look(QPushButton* button, ButtonLook look) {
    const QString sheet = Button_Sheet(button->objectName(), look);
    if (button->styleSheet() != sheet) button->setStyleSheet(sheet);
}

} // namespace tarn
