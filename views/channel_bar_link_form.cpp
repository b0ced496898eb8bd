#include "views/channel_bar_link_form.h"

#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/link_rules.h"
#include "session/roles.h"
#include "session/text.h"
#include "widgets/styles.h"

#include <QButtonGroup>
#include <QLabel>
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
// %1 the reference channel, %2 its role, %3 the receiving channel, %4 its role.
constexpr Bilingual kPair{"配对：CH%1 %2 → CH%3 %4", "Pair: CH%1 %2 → CH%3 %4"};
constexpr Bilingual kNoPair{"CH%1 %2 没有左右配对的通道，同步不会联调任何通道。",
                            "CH%1 %2 has no left/right partner: Sync links nothing."};

const char kDialogSheet[] =
    "QDialog#LinkForm{background-color: rgb(67, 67, 68);border:2px solid gray;}"
    "QLineEdit{color:white;background-color: transparent;border:none;}"
    "QLabel#Label_Pairs{color:white;background-color: transparent;}"
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
    dialog->setFixedSize(300, 300);
    dialog->setWindowTitle(tr2(kTitle));
    dialog->setStyleSheet(QString::fromLatin1(kDialogSheet) +
                          QString::fromLatin1(kRadioChoiceSheet));

    lineEdit = caption(dialog, "lineEdit", kHeading, 12, 8, 240);
    BT_CLOSE = new QPushButton(dialog);
    BT_CLOSE->setObjectName(QStringLiteral("BT_CLOSE"));
    BT_CLOSE->setGeometry(268, 8, 22, 22);
    BT_CLOSE->setFocusPolicy(Qt::NoFocus);

    Label_Pairs = new QLabel(dialog);
    Label_Pairs->setObjectName(QStringLiteral("Label_Pairs"));
    Label_Pairs->setGeometry(12, 34, 276, 36);
    Label_Pairs->setWordWrap(true);
    Label_Pairs->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* baseGroup = new QButtonGroup(dialog);
    lineEdit_2 = caption(dialog, "lineEdit_2", kBaseCaption, 12, 76, 240);
    radioButton_1 = choice(dialog, baseGroup, "radioButton_1", kBaseLeft, 28, 100);
    radioButton_2 = choice(dialog, baseGroup, "radioButton_2", kBaseRight, 28, 124);

    auto* kindGroup = new QButtonGroup(dialog);
    lineEdit_3 = caption(dialog, "lineEdit_3", kKindCaption, 12, 154, 240);
    radioButton_3 = choice(dialog, kindGroup, "radioButton_3", kKindFilter, 28, 178);
    radioButton_4 = choice(dialog, kindGroup, "radioButton_4", kKindEq, 28, 202);
    radioButton_5 = choice(dialog, kindGroup, "radioButton_5", kKindBoth, 28, 226);

    pushButton = new QPushButton(tr2(kSync), dialog);
    pushButton->setObjectName(QStringLiteral("pushButton"));
    pushButton->setGeometry(100, 262, 100, 26);

    radioButton_1->setChecked(true);
    radioButton_5->setChecked(true);
}

LinkForm::LinkForm(QWidget* parent) : FramelessDialog(parent) {
    ui.setupUi(this);
    QMetaObject::connectSlotsByName(this);
    showPairs();
}

LinkForm::~LinkForm() = default;

void LinkForm::on_BT_CLOSE_clicked() {
    close();
}

// The choices are only read by the synchronise; the reference side turns the pair around.
void LinkForm::on_radioButton_1_clicked() {
    showPairs();
}
void LinkForm::on_radioButton_2_clicked() {
    showPairs();
}

void LinkForm::showPairs() {
    const int cur = Pc.Cur_CH;
    const auto named = [](int ch) {
        return QStringList{QString::number(ch + 1), tr2(Role_Name(Param_Image.CH_Name(ch)))};
    };
    const LinkPairing pairing = Link_Pairing(Param_Image, cur, !ui.radioButton_2->isChecked());
    QString text;
    if (pairing.channels.empty()) {
        text = tr2(Fill_Text(kNoPair, named(cur)));
    } else {
        QStringList lines;
        for (const int j : pairing.channels) {
            const int from = pairing.editedIsReference ? cur : j;
            const int to = pairing.editedIsReference ? j : cur;
            lines << tr2(Fill_Text(kPair, named(from) + named(to)));
        }
        text = lines.join(QLatin1Char('\n'));
    }
    ui.Label_Pairs->setText(text);
}

void LinkForm::on_pushButton_clicked() {
    const uint8_t base = ui.radioButton_2->isChecked() ? kLinkBaseRight : kLinkBaseLeft;
    uint8_t mode = LinkEqAndFilters;
    if (ui.radioButton_4->isChecked())
        mode = LinkEqOnly;
    else if (ui.radioButton_3->isChecked())
        mode = LinkFiltersOnly;
    emit LinkForm_SyncRequested(base, mode);
    close();
}

} // namespace tarn
