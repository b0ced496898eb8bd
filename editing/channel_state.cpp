#include "editing/channel_state.h"

#include "app/form.h"
#include "editing/output_format.h"

#include <QPushButton>

namespace tarn {

ChannelEditState Chan;

void Channel_State_Init() {
    Chan = ChannelEditState{};
}

QString GetDelayDisplayStr(int steps) {
    if (Chan.Delay_Unit == kDelayUnitMs) TARN_DIAG(QStringList{QString::number(steps)});
    return Delay_Text(steps, Chan.Delay_Unit);
}

QString Button_Sheet(const QString& objectName, ButtonLook look) {
    static const char kLit[] = "background-color: rgb(204, 204, 204);color:red;border:1px groove "
                               "gray;border-radius:6px;padding:1px 4px;border-style: outset;";
    const char* body = look == ButtonLook::Selected ? kStyleSelected
                       : look == ButtonLook::Lit    ? kLit
                                                    : kStyleUnselected;
    return QStringLiteral("QPushButton#") + objectName + QLatin1Char('{') + QLatin1String(body) +
           QLatin1Char('}');
}

void Set_Look(QPushButton* button, ButtonLook look) {
    const QString sheet = Button_Sheet(button->objectName(), look);
    if (button->styleSheet() != sheet) button->setStyleSheet(sheet);
}

} // namespace tarn
