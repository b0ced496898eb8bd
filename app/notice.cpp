#include "app/notice.h"

#include "app/diag.h"

#include <QMessageBox>

namespace tarn {

namespace {
int runBox(QMessageBox::Icon icon, const Bilingual& text, QMessageBox::StandardButtons buttons) {
    TARN_DIAG(QStringList{QString::fromUtf8(text.en)});
    QMessageBox box(icon, tr2(txt::NoticeTitle), tr2(text), buttons);
    box.setObjectName("NoticeBox");
    return box.exec();
}
} // namespace

void Show_Notice(const Bilingual& text) {
    runBox(QMessageBox::Information, text, QMessageBox::Ok);
}

void Show_Notice(const QString& zh, const QString& en) {
    const QByteArray z = zh.toUtf8();
    const QByteArray e = en.toUtf8();
    Show_Notice(Bilingual{z.constData(), e.constData()});
}

bool Ask_Question(const Bilingual& text) {
    return runBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

} // namespace tarn
