#include "tuning/distance_form.h"

#include "session/distance.h"
#include "session/roles.h"
#include "session/tuning_texts.h"
#include "widgets/file_dialog.h"
#include "widgets/notice.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStringList>

namespace tarn {

namespace {

// The distances last typed, CH1 first, as typed (empty: none).
std::array<QString, 6> Settings_Distances() {
    const QSettings s = App_Settings();
    std::array<QString, 6> texts;
    for (size_t ch = 0; ch < texts.size(); ++ch)
        texts[ch] = s.value(QStringLiteral("distance/ch%1").arg(ch + 1)).toString();
    return texts;
}

void Settings_Save_Distances(const std::array<QString, 6>& texts) {
    QSettings s = App_Settings();
    for (size_t ch = 0; ch < texts.size(); ++ch)
        s.setValue(QStringLiteral("distance/ch%1").arg(ch + 1), texts[ch]);
}

constexpr int kWidth = 420;
constexpr int kRowY = 102;
constexpr int kRowH = 30;

const char kDialogSheet[] =
    "QDialog#DistanceForm{background-color: rgb(15, 16, 16);border:2px solid rgb(192, 192, 192);}"
    "QLabel{color:white;background-color: transparent;}"
    "QLabel#label_hint{color: rgb(192, 192, 192);}"
    "QLineEdit{color:white;background-color: rgb(40, 40, 42);border:1px solid gray;}"
    "QPushButton#BT_DISTANCE_APPLY{background-color: rgb(72, 72, 73);color:white;"
    "border:1px groove gray;border-radius:6px;padding:1px 4px;border-style: outset;}"
    "QPushButton#BT_DISTANCE_APPLY:pressed{background-color: rgb(204, 204, 204);color:black;}"
    "QPushButton#BT_CLOSE{border-image: url(:/PNG/MainClose.png);background-color: transparent;"
    "border:none;}";

QLabel* Label(QDialog* dialog, const QString& name, const QString& text, const QRect& where) {
    auto* label = new QLabel(text, dialog);
    label->setObjectName(name);
    label->setGeometry(where);
    return label;
}

QString Channel_List(const std::vector<int>& channels, bool english) {
    QStringList names;
    for (int ch : channels)
        names << Channel_Role_Label(ch, english);
    return names.join(english ? QStringLiteral(", ") : QStringLiteral("、"));
}

} // namespace

QString Channel_Role_Label(int ch, bool english) {
    return QStringLiteral("CH%1 ").arg(ch + 1) + tr2(Role_Name(Param_Image.CH_Name(ch)), english);
}

void DistanceForm::Ui::setupUi(QDialog* dialog) {
    dialog->setObjectName(QStringLiteral("DistanceForm"));
    dialog->setFixedSize(kWidth, kRowY + kChannels * kRowH + 56);
    dialog->setStyleSheet(QString::fromLatin1(kDialogSheet));

    BT_CLOSE = new QPushButton(dialog);
    BT_CLOSE->setObjectName(QStringLiteral("BT_CLOSE"));
    BT_CLOSE->setGeometry(kWidth - 34, 8, 26, 26);
    BT_CLOSE->setFocusPolicy(Qt::NoFocus);

    label_title = Label(dialog, QStringLiteral("label_title"), tr2(txt::DistanceTitle),
                        QRect(20, 10, 300, 26));
    QFont heading = label_title->font();
    heading.setBold(true);
    label_title->setFont(heading);
    label_hint = Label(dialog, QStringLiteral("label_hint"), tr2(txt::DistanceHint),
                       QRect(20, 38, kWidth - 40, 58));
    label_hint->setWordWrap(true);

    for (int ch = 0; ch < kChannels; ++ch) {
        const int y = kRowY + ch * kRowH;
        channel[ch] = Label(dialog, QStringLiteral("label_Distance_%1").arg(ch + 1),
                            Channel_Role_Label(ch, Pc.Lang_EN != 0), QRect(30, y, 220, 24));
        distance[ch] = new QLineEdit(dialog);
        distance[ch]->setObjectName(QStringLiteral("Edit_Distance_%1").arg(ch + 1));
        distance[ch]->setGeometry(260, y, 80, 24);
        distance[ch]->setMaxLength(6);
        Label(dialog, QStringLiteral("label_Distance_Unit_%1").arg(ch + 1), QStringLiteral("cm"),
              QRect(346, y, 40, 24));
    }

    BT_DISTANCE_APPLY = new QPushButton(tr2(txt::DistanceApply), dialog);
    BT_DISTANCE_APPLY->setObjectName(QStringLiteral("BT_DISTANCE_APPLY"));
    BT_DISTANCE_APPLY->setGeometry((kWidth - 100) / 2, kRowY + kChannels * kRowH + 12, 100, 30);
}

DistanceForm::DistanceForm(std::function<void(const ChannelDelays&)> apply, QWidget* parent)
    : FramelessDialog(parent), apply_(std::move(apply)) {
    ui.setupUi(this);
    QMetaObject::connectSlotsByName(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowTitle(tr2(txt::DistanceTitle));
    const std::array<QString, kChannels> remembered = Settings_Distances();
    for (int ch = 0; ch < kChannels; ++ch)
        ui.distance[ch]->setText(remembered[ch]);
}

DistanceForm::~DistanceForm() = default;

void DistanceForm::on_BT_CLOSE_clicked() {
    close();
}

void DistanceForm::on_BT_DISTANCE_APPLY_clicked() {
    std::array<QString, kChannels> texts;
    std::array<std::optional<int>, kChannels> cm{};
    std::vector<int> unreadable;
    for (int ch = 0; ch < kChannels; ++ch) {
        texts[ch] = ui.distance[ch]->text().trimmed();
        bool ok = false;
        cm[ch] = Parse_Distance(texts[ch], ok);
        if (!ok) unreadable.push_back(ch);
    }
    Settings_Save_Distances(texts);
    if (!unreadable.empty()) {
        Show_Notice(BilingualText{
            QString::fromUtf8(txt::DistanceBadEntry.zh).arg(Channel_List(unreadable, false)),
            QString::fromUtf8(txt::DistanceBadEntry.en).arg(Channel_List(unreadable, true))});
        return;
    }
    const DelayPlan plan = Delays_For_Distances(cm);
    if (plan.farthest < 0) {
        Show_Notice(txt::DistanceNone);
        return;
    }
    if (!plan.ok) {
        const std::vector<int> far{plan.farthest};
        Show_Notice(
            BilingualText{QString::fromUtf8(txt::DistanceSpread.zh)
                              .arg(Channel_List(plan.over, false), Channel_List(far, false)),
                          QString::fromUtf8(txt::DistanceSpread.en)
                              .arg(Channel_List(plan.over, true), Channel_List(far, true))});
        return;
    }
    if (apply_) apply_(plan.steps);
}

} // namespace tarn
