// Every number fits its entry and every text the window draws or shows fits its place, whatever
// the desktop's font DPI and scale factor: the form is laid out in fixed pixels, so a font that
// grew with the DPI would clip "12500" into "2500". ctest runs this once per QT_FONT_DPI and
// QT_SCALE_FACTOR setting.
#include "app/desktop.h"
#include "app/form.h"
#include "app/tarn80x.h"
#include "dsp/response.h"
#include "graph/graph_view.h"
#include "graph/grid.h"
#include "graph/overlay.h"
#include "session/text.h"
#include "tests/support/window_fixture.h"
#include "views/status_bar.h"
#include "widgets/notice.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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

// Why a text drawn into rect with these flags would not show whole: QPainter clips it to the
// rect when it does not fit, and a child widget over the rect hides it. Empty when it shows.
QString drawnTextProblem(Tarn80X& window, const QFont& font, const QRect& rect, int flags,
                         const QString& text) {
    const QRect needed = QFontMetrics(font).boundingRect(rect, flags, text);
    if (!rect.contains(needed))
        return QStringLiteral("\"%1\" needs %2,%3 %4x%5, has %6,%7 %8x%9")
            .arg(text)
            .arg(needed.x())
            .arg(needed.y())
            .arg(needed.width())
            .arg(needed.height())
            .arg(rect.x())
            .arg(rect.y())
            .arg(rect.width())
            .arg(rect.height());
    if (!window.rect().adjusted(4, 4, -4, -4).contains(rect))
        return QStringLiteral("\"%1\" lies on the window's border").arg(text);
    // The graph draws these texts itself: what may cover them are the window's other widgets and
    // the graph's own children.
    QList<QWidget*> widgets = window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    if (auto* graph = window.findChild<QWidget*>(QStringLiteral("GraphView")))
        widgets += graph->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* w : widgets) {
        // The band markers and their numbers move over the graph by design.
        if (!w->isVisible() || w->inherits("DragPushButton") ||
            w->objectName().startsWith(QStringLiteral("Edit_Label_")) ||
            w->objectName() == QLatin1String("GraphView"))
            continue;
        if (QRect(w->mapTo(&window, QPoint()), w->size()).intersects(rect))
            return QStringLiteral("\"%1\" lies under %2").arg(text, w->objectName());
    }
    return QString();
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

    // The note beside the progress bar while a transfer runs: a job that only reads can be
    // stopped, one that writes cannot.
    void transferNotesFit_data() {
        QTest::addColumn<int>("english");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("note");
        QTest::newRow("Chinese, cancel") << 0 << true << "取消";
        QTest::newRow("Chinese, cannot stop") << 0 << false << "传输进行中，不能中断";
        QTest::newRow("English, cancel") << 1 << true << "Cancel";
        QTest::newRow("English, cannot stop")
            << 1 << false << "Transfer in progress, cannot be stopped";
    }
    void transferNotesFit() {
        QFETCH(int, english);
        QFETCH(bool, readOnly);
        QFETCH(QString, note);
        WindowFixture f;
        f.window().Language_Set(uint8_t(english));
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        QPushButton* stop = f.ui().BT_TRANSFER_STOP;
        stop->setEnabled(readOnly);
        stop->show();
        f.window().statusBar().showTransferTexts();
        QCOMPARE(stop->text(), note);
        const int needed = stop->fontMetrics().horizontalAdvance(note);
        QVERIFY2(
            needed <= captionRoom(stop),
            qPrintable(QStringLiteral("needs %1 px, has %2").arg(needed).arg(captionRoom(stop))));
    }

    // The window system shows a notice's title with the program's name after it, beside its own
    // icon and buttons; the shortest notices give the narrowest boxes.
    void noticeTitlesFit_data() {
        QTest::addColumn<int>("english");
        QTest::addColumn<QString>("shownTitle");
        QTest::newRow("Chinese") << 0 << "提示 \u2014 Tarn80X";
        QTest::newRow("English") << 1 << "Notice \u2014 Tarn80X";
    }
    void noticeTitlesFit() {
        QFETCH(int, english);
        QFETCH(QString, shownTitle);
        WindowFixture f;
        f.window().Language_Set(uint8_t(english));
        for (const Bilingual& text : {txt::CommError, txt::NameMismatch}) {
            int width = 0;
            QTimer poll;
            poll.setInterval(5);
            connect(&poll, &QTimer::timeout, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box || !box->isVisible()) return;
                width = box->width();
                box->button(QMessageBox::Ok)->click();
            });
            poll.start();
            Show_Notice(text);
            // Room for the title bar's icon and buttons beside the title.
            const int needed = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                                   .horizontalAdvance(shownTitle) +
                               96;
            QVERIFY2(width >= needed,
                     qPrintable(QStringLiteral("\"%1\": box %2 px wide, title needs %3")
                                    .arg(tr2(text))
                                    .arg(width)
                                    .arg(needed)));
        }
    }

    // The grid's frequency and level labels, and the hover readout at its widest.
    void graphTextsFit() {
        WindowFixture f;
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        const QFont font = Grid_Label_Font(f.window().font());
        QStringList problems;
        for (const GridLine& l : Grid_Freq_Lines())
            problems << drawnTextProblem(f.window(), font, Freq_Label_Rect(l), kFreqLabelFlags,
                                         QString::fromLatin1(l.label));
        for (const GridLine& l : Grid_Level_Lines())
            problems << drawnTextProblem(f.window(), font, Level_Label_Rect(l), kLevelLabelFlags,
                                         QString::fromLatin1(l.label));
        // The axes' units, and "Hz" clear of the "20" on the plot's first column.
        problems << drawnTextProblem(f.window(), font, Level_Unit_Rect(), kLevelLabelFlags,
                                     QStringLiteral("dB"));
        problems << drawnTextProblem(f.window(), font, Freq_Unit_Rect(), kFreqUnitFlags,
                                     QStringLiteral("Hz"));
        const QRect twenty = QFontMetrics(font).boundingRect(Freq_Label_Rect(Grid_Freq_Lines()[0]),
                                                             kFreqLabelFlags, QStringLiteral("20"));
        const QRect hz =
            QFontMetrics(font).boundingRect(Freq_Unit_Rect(), kFreqUnitFlags, QStringLiteral("Hz"));
        if (hz.intersects(twenty)) problems << QStringLiteral("\"Hz\" runs into \"20\"");
        // The readout beside the pointer at its widest, with the pointer at the plot's corners
        // and middle: inside the plot's rows, under no other widget.
        GraphView* graph = f.ui().graph;
        const GraphScale& s = graph->scale();
        const QStringList widest[] = {
            {"12.50 kHz  -12.0 dB", "Measured -12.0 dB", "Predicted -24.0 dB"},
            {"99.9 Hz  -12.0 dB", "测量 -12.0 dB", "预测 -24.0 dB"},
            {"Band 31  12.50 kHz  -12.0 dB  Q 12.8"},
            {"第31段  12.50 kHz  -12.0 dB  Q 12.8"}};
        const QPoint pointers[] = {{s.left, s.top},
                                   {s.right(), s.top},
                                   {s.left, s.bottom()},
                                   {s.right(), s.bottom()},
                                   {s.left + s.width / 2, s.top + s.height / 2}};
        for (const QStringList& lines : widest)
            for (const QPoint p : pointers) {
                const QRect box = Readout_Box(graph->readoutBounds(), p, Readout_Size(font, lines));
                for (int i = 0; i < lines.size(); ++i)
                    problems << drawnTextProblem(
                        f.window(), font, Readout_Line_Rect(box, i, font).translated(graph->pos()),
                        Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
            }
        problems.removeAll(QString());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }
};

int main(int argc, char* argv[]) {
    App_Set_Scaling_Attributes(); // as the application does
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tarn80X"));
    TestTextFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_text_fit.moc"
