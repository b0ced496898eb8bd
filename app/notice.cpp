#include "app/notice.h"

#include "app/diag.h"

#include <QMessageBox>

namespace tarn {

namespace {
int runBox(QMessageBox::Icon icon, const Bilingual& text, QMessageBox::StandardButtons buttons,
           const QString& arg = QString()) {
    const QString shown = arg.isNull() ? tr2(text) : tr2(text).arg(arg);
    TARN_DIAG(QStringList{arg.isNull() ? QString::fromUtf8(text.en)
                                       : QString::fromUtf8(text.en).arg(arg)});
    QMessageBox box(icon, tr2(txt::NoticeTitle), shown, buttons);
    box.setObjectName("NoticeBox");
    if (buttons & QMessageBox::No) box.setDefaultButton(QMessageBox::No);
    return box.exec();
}
} // namespace

void Show_Notice(const Bilingual& text) {
    runBox(QMessageBox::Information, text, QMessageBox::Ok);
}

void Show_Notice(const Bilingual& text, const QString& arg) {
    runBox(QMessageBox::Information, text, QMessageBox::Ok, arg);
}

bool Ask_Question(const Bilingual& text) {
    return runBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

} // namespace tarn
