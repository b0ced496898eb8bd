#include "app/notice.h"

#include "app/diag.h"

#include <QMessageBox>

namespace tarn {

namespace {
int runBox(QMessageBox::Icon icon, const BilingualText& text, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    TARN_DIAG(QStringList{text.en});
    QMessageBox box(icon, tr2(txt::NoticeTitle), tr2(text), buttons);
    box.setObjectName("NoticeBox");
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return box.exec();
}
} // namespace

void Show_Notice(const Bilingual& text) {
    Show_Notice(Text_Of(text));
}

void Show_Notice(const BilingualText& text) {
    runBox(QMessageBox::Information, text, QMessageBox::Ok);
}

bool Ask_Question(const Bilingual& text) {
    return runBox(QMessageBox::Question, Text_Of(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool Ask_Question_Default_No(const BilingualText& text) {
    return runBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
                  QMessageBox::No) == QMessageBox::Yes;
}

} // namespace tarn
