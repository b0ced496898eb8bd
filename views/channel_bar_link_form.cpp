#include "views/channel_bar_link_form.h"

#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/text.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tarn {

namespace {

constexpr Bilingual kTitle{"左右联调", "左右联调"}; // the title stays Chinese
constexpr Bilingual kHeading{"参数联调同步", "Left/right link"};
constexpr Bilingual kBaseCaption{"联调基准", "Copy from"};
constexpr Bilingual kBaseLeft{"以左通道为基准", "The left channel"};
constexpr Bilingual kBaseRight{"以右通道为基准", "The right channel"};
constexpr Bilingual kKindCaption{"联调参数", "Settings linked"};
constexpr Bilingual kKindFilter{"滤波器联调", "Filters"};
constexpr Bilingual kKindEq{"均衡联调", "EQ"};
constexpr Bilingual kKindBoth{"滤波器和均衡联调", "EQ and filters"};
constexpr Bilingual kSync{"立即同步", "Sync now"};

const char kDialogSheet[] =
    "QDialog#LinkForm{background-color: rgb(67, 67, 68);border:2px solid gray;}"
    "QLineEdit{color:white;background-color: transparent;border:none;}"
    "QRadioButton{color:white;}"
    "QPushButton#pushButton{background-color: rgb(72, 72, 73);color:white;border:1px groove gray;"
    "border-radius:6px;padding:1px 4px;border-style: outset;}"
    "QPushButton#pushButton:pressed{background-color: rgb(204, 204, 204);color:black;}"
    "QPushButton#BT_CLOSE{border-image: url(:/PNG/MainClose.png);background-color: transparent;}";

QLineEdit* caption(QDialog* dialog, const char* name, const Bilingual& text, int x, int y, int w) {
    auto* line = new QLineEdit(tr2(text), dialog);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(x, y, w, 22);
    line->setReadOnly(true);
    line->setFocusPolicy(Qt::NoFocus);
    return line;
}

QRadioButton* choice(QDialog* dialog, QButtonGroup* group, const char* name, const Bilingual& text,
                     int x, int y) {
    auto* radio = new QRadioButton(tr2(text), dialog);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setGeometry(x, y, 250, 22);
    group->addButton(radio);
    return radio;
}

} // namespace

void LinkForm::Ui::setupUi(QDialog* dialog) {
    dialog->setObjectName(QStringLiteral("LinkForm"));
    dialog->setFixedSize(300, 262);
    dialog->setWindowTitle(tr2(kTitle));
    dialog->setStyleSheet(QString::fromLatin1(kDialogSheet));

    lineEdit = caption(dialog, "lineEdit", kHeading, 12, 8, 240);
    BT_CLOSE = new QPushButton(dialog);
    BT_CLOSE->setObjectName(QStringLiteral("BT_CLOSE"));
    BT_CLOSE->setGeometry(268, 8, 22, 22);
    BT_CLOSE->setFocusPolicy(Qt::NoFocus);

    auto* baseGroup = new QButtonGroup(dialog);
    lineEdit_2 = caption(dialog, "lineEdit_2", kBaseCaption, 12, 38, 240);
    radioButton_1 = choice(dialog, baseGroup, "radioButton_1", kBaseLeft, 28, 62);
    radioButton_2 = choice(dialog, baseGroup, "radioButton_2", kBaseRight, 28, 86);

    auto* kindGroup = new QButtonGroup(dialog);
    lineEdit_3 = caption(dialog, "lineEdit_3", kKindCaption, 12, 116, 240);
    radioButton_3 = choice(dialog, kindGroup, "radioButton_3", kKindFilter, 28, 140);
    radioButton_4 = choice(dialog, kindGroup, "radioButton_4", kKindEq, 28, 164);
    radioButton_5 = choice(dialog, kindGroup, "radioButton_5", kKindBoth, 28, 188);

    pushButton = new QPushButton(tr2(kSync), dialog);
    pushButton->setObjectName(QStringLiteral("pushButton"));
    pushButton->setGeometry(100, 224, 100, 26);

    radioButton_1->setChecked(true);
    radioButton_5->setChecked(true);
}

LinkForm::LinkForm(QWidget* parent) : FramelessDialog(parent) {
    ui.setupUi(this);
    QMetaObject::connectSlotsByName(this);
}

LinkForm::~LinkForm() = default;

void LinkForm::on_BT_CLOSE_clicked() {
    close();
}

// The choices take effect at once; the synchronise reads them again from the buttons.
void LinkForm::on_radioButton_1_clicked() {
    Chan.Link_Base = kLinkBaseLeft;
}
void LinkForm::on_radioButton_2_clicked() {
    Chan.Link_Base = kLinkBaseRight;
}
void LinkForm::on_radioButton_3_clicked() {
    Pc.Link_Mode[Pc.Cur_CH] = LinkFiltersOnly;
}
void LinkForm::on_radioButton_4_clicked() {
    Pc.Link_Mode[Pc.Cur_CH] = LinkEqOnly;
}
void LinkForm::on_radioButton_5_clicked() {
    Pc.Link_Mode[Pc.Cur_CH] = LinkEqAndFilters;
}

void LinkForm::on_pushButton_clicked() {
    auto& mode = Pc.Link_Mode[Pc.Cur_CH];
    if (ui.radioButton_1->isChecked())
        Chan.Link_Base = kLinkBaseLeft;
    else if (ui.radioButton_2->isChecked())
        Chan.Link_Base = kLinkBaseRight;
    if (ui.radioButton_5->isChecked())
        mode = LinkEqAndFilters;
    else if (ui.radioButton_4->isChecked())
        mode = LinkEqOnly;
    else if (ui.radioButton_3->isChecked())
        mode = LinkFiltersOnly;
    Chan.Link_Active = 1;
    emit LinkForm_SyncRequested();
    close();
}

} // namespace tarn
