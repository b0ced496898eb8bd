// Every number fits its entry whatever the desktop's font DPI and scale factor: the form is laid
// out in fixed pixels, so a font that grew with the DPI would clip "12500" into "2500". ctest runs
// this once per QT_FONT_DPI and QT_SCALE_FACTOR setting.
#include "app/desktop.h"
#include "app/form.h"
#include "app/tarn80x.h"
#include "tests/support/window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QtTest>

using namespace tarn;
using namespace tarn::test;

namespace {

// Width the entry gives its text: the style's contents rectangle less the text margins and the
// line edit's own 2-pixel margin on each side.
int textRoom(const QLineEdit* entry) {
    QStyleOptionFrame option;
    option.initFrom(entry);
    option.rect = entry->rect();
    option.lineWidth = entry->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, entry);
    const QRect contents =
        entry->style()->subElementRect(QStyle::SE_LineEditContents, &option, entry);
    const QMargins m = entry->textMargins();
    return contents.width() - m.left() - m.right() - 4;
}

// Width a button, label or check box gives its text, from the style.
int captionRoom(QWidget* w) {
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()
            ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
            .width();
    }
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
    }
    return static_cast<QLabel*>(w)->contentsRect().width();
}

QString captionOf(QWidget* w) {
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    return static_cast<QLabel*>(w)->text();
}

} // namespace

class TestTextFit : public QObject {
    Q_OBJECT

  private slots:
    // With high-DPI scaling on, Qt turns part of a high font DPI into a larger device pixel
    // ratio; together they give the dots per logical inch asked for.
    void configurationTookEffect() {
        WindowFixture f;
        const double dpi = qEnvironmentVariableIsSet("QT_FONT_DPI")
                               ? qEnvironmentVariable("QT_FONT_DPI").toDouble()
                               : 96.0;
        const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                 ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                 : 1.0;
        QCOMPARE(f.window().logicalDpiY() * f.window().devicePixelRatioF(), dpi * scale);
    }

    void numbersFitTheirEntries_data() {
        QTest::addColumn<QString>("family"); // object-name prefix
        QTest::addColumn<QStringList>("widest");
        // Widest legal values of each family, in both delay units.
        QTest::newRow("EQ gain") << "Edit_EQ_Gain_" << QStringList{"-20.0", "-18.8", "20.0"};
        QTest::newRow("EQ frequency") << "Edit_EQ_Freq_" << QStringList{"20000", "12500"};
        QTest::newRow("EQ Q") << "Edit_EQ_Q_" << QStringList{"10.0", "0.4"};
        QTest::newRow("crossover") << "Edit_HPF_Freq" << QStringList{"20000"};
        QTest::newRow("crossover LPF") << "Edit_LPF_Freq" << QStringList{"20000"};
        QTest::newRow("channel volume") << "Edit_CHVol_" << QStringList{"-60.0dB", "-58.8dB"};
        QTest::newRow("channel delay") << "Edit_CHDelay_" << QStringList{"15.00ms", "518cm"};
        QTest::newRow("master volume") << "Edit_Total" << QStringList{"-60.0dB"};
    }
    void numbersFitTheirEntries() {
        QFETCH(QString, family);
        QFETCH(QStringList, widest);
        WindowFixture f;
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        const QList<QLineEdit*> entries = f.window().findChildren<QLineEdit*>(
            QRegularExpression(QStringLiteral("^%1\\d*$").arg(family)));
        QVERIFY(!entries.isEmpty());
        for (QLineEdit* entry : entries) {
            const QFontMetrics metrics = entry->fontMetrics();
            const int room = textRoom(entry);
            for (const QString& text : QStringList{entry->text()} + widest)
                QVERIFY2(metrics.horizontalAdvance(text) <= room,
                         qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                                        .arg(entry->objectName(), text)
                                        .arg(metrics.horizontalAdvance(text))
                                        .arg(room)));
        }
    }

    void captionsFitInBothLanguages_data() {
        QTest::addColumn<int>("english");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }
    void captionsFitInBothLanguages() {
        QFETCH(int, english);
        WindowFixture f;
        f.window().Language_Set(uint8_t(english));
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        QStringList clipped;
        for (QWidget* w : f.window().findChildren<QWidget*>()) {
            if (!w->isVisible() || !(qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)))
                continue;
            const QString text = captionOf(w).trimmed();
            if (text.isEmpty()) continue;
            const int needed = w->fontMetrics().horizontalAdvance(text);
            if (needed > captionRoom(w))
                clipped << QStringLiteral("%1 \"%2\" %3>%4")
                               .arg(w->objectName(), text)
                               .arg(needed)
                               .arg(captionRoom(w));
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
    }
};

int main(int argc, char* argv[]) {
    App_Set_Scaling_Attributes(); // as the application does
    QApplication app(argc, argv);
    TestTextFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_text_fit.moc"
