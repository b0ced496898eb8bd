#include "widgets/notice.h"

#include "session/diag.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace tarn {

namespace {

// The window system writes the application's name after the title ("Notice — Tarn80X") and puts
// its icon and buttons beside it; a box only as wide as a short text would have that title cut.
void widenForTitle(QMessageBox& box) {
    QString shown = box.windowTitle();
    const QString name = QGuiApplication::applicationDisplayName();
    if (!name.isEmpty() && !shown.endsWith(name)) shown += QStringLiteral(" \u2014 ") + name;
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    const int width = metrics.horizontalAdvance(shown) + 8 * metrics.height();
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

int runBox(QMessageBox::Icon icon, const BilingualText& text, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    TARN_DIAG(QStringList{text.en});
    QMessageBox box(icon, tr2(txt::NoticeTitle), tr2(text), buttons);
    box.setObjectName("NoticeBox");
    widenForTitle(box);
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

void Show_Warning(const Bilingual& text) {
    Show_Warning(Text_Of(text));
}

void Show_Warning(const BilingualText& text) {
    runBox(QMessageBox::Warning, text, QMessageBox::Ok);
}

void Show_Error(const Bilingual& text) {
    Show_Error(Text_Of(text));
}

void Show_Error(const BilingualText& text) {
    runBox(QMessageBox::Critical, text, QMessageBox::Ok);
}

bool Ask_Question(const Bilingual& text) {
    return Ask_Question(Text_Of(text));
}

bool Ask_Question(const BilingualText& text) {
    return runBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool Ask_Question_Default_No(const BilingualText& text) {
    return runBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
                  QMessageBox::No) == QMessageBox::Yes;
}

} // namespace tarn
