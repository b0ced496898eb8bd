#include "views/scene_actions_about_form.h"

#include "model/param_image.h"
#include "session/text.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace tarn {

namespace {

constexpr Bilingual kTitle{"关于", "关于"};
constexpr Bilingual kHeading{"关于 TALVEN DSP", "About TALVEN DSP"};
constexpr Bilingual kApplication{"应用程序版本 HX-6C-R1", "Application HX-6C-R1"};
constexpr Bilingual kVersionCaption{"机器软件版本：", "Firmware Version:"};
constexpr Bilingual kProgramCaption{"程序版本：", "Program Version:"};
constexpr Bilingual kOk{"确定", "OK"};
constexpr char kBanner[] = "TALVEN CAR DSP UI";

const char kDialogSheet[] =
    "QDialog#AboutForm{background-color: rgb(15, 16, 16);border:2px solid rgb(192, 192, 192);}"
    "QLabel{color:white;background-color: transparent;}"
    "QLabel#label_7{color: rgb(192, 192, 192);}"
    "QPushButton#BT_EXIT{background-color: rgb(72, 72, 73);color:white;border:1px groove gray;"
    "border-radius:6px;padding:1px 4px;border-style: outset;}"
    "QPushButton#BT_EXIT:pressed{background-color: rgb(204, 204, 204);color:black;}"
    "QPushButton#BT_CLOSE{border-image: url(:/PNG/MainClose.png);background-color: transparent;"
    "border:none;}";

QLabel* text(QDialog* dialog, const char* name, const QString& content, const QRect& where) {
    auto* label = new QLabel(content, dialog);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(where);
    return label;
}

} // namespace

void AboutForm::Ui::setupUi(QDialog* dialog) {
    dialog->setObjectName(QStringLiteral("AboutForm"));
    dialog->setFixedSize(380, 246);
    dialog->setStyleSheet(QString::fromLatin1(kDialogSheet));

    BT_CLOSE = new QPushButton(dialog);
    BT_CLOSE->setObjectName(QStringLiteral("BT_CLOSE"));
    BT_CLOSE->setGeometry(380 - 34, 8, 26, 26);
    BT_CLOSE->setFocusPolicy(Qt::NoFocus);

    label_2 = text(dialog, "label_2", tr2(kHeading, false), QRect(20, 10, 300, 26));
    label_7 = text(dialog, "label_7", QString::fromLatin1(kBanner), QRect(20, 52, 340, 30));
    label_7->setAlignment(Qt::AlignCenter);
    QFont banner = label_7->font();
    banner.setPixelSize(17);
    banner.setBold(true);
    label_7->setFont(banner);
    label_4 = text(dialog, "label_4", tr2(kApplication, false), QRect(40, 100, 300, 22));
    label_6 = text(dialog, "label_6", tr2(kVersionCaption, false), QRect(40, 130, 175, 22));
    label_8 = text(dialog, "label_8", QStringLiteral("00"), QRect(215, 130, 150, 22));
    label_9 = text(dialog, "label_9", tr2(kProgramCaption, false), QRect(40, 156, 175, 22));
    label_10 = text(dialog, "label_10", QStringLiteral(TARN_VERSION), QRect(215, 156, 150, 22));

    BT_EXIT = new QPushButton(tr2(kOk, false), dialog);
    BT_EXIT->setObjectName(QStringLiteral("BT_EXIT"));
    BT_EXIT->setGeometry(150, 196, 80, 30);
}

AboutForm::AboutForm(QWidget* parent) : FramelessDialog(parent) {
    ui.setupUi(this);
    QMetaObject::connectSlotsByName(this);
    setWindowTitle(tr2(kTitle));
    // Unsigned: a version with the top bit set must not read as a negative number.
    ui.label_8->setText(QString::number(Param_Image.FW_Version()));
    if (Pc.Lang_EN) {
        ui.label_2->setText(tr2(kHeading, true));
        ui.label_4->setText(tr2(kApplication, true));
        ui.label_6->setText(tr2(kVersionCaption, true));
        ui.label_9->setText(tr2(kProgramCaption, true));
        ui.BT_EXIT->setText(tr2(kOk, true));
    }
}

AboutForm::~AboutForm() = default;

void AboutForm::on_BT_CLOSE_clicked() {
    close();
}

void AboutForm::on_BT_EXIT_clicked() {
    close();
}

} // namespace tarn
