// The window on the smallest usual screen of its desktop scale. The form is laid out in fixed
// pixels and Qt scales it as a whole, so a scale rounded up (1.5 to 2) pushes it off the screen.
// ctest runs this at 100 % and at 150 % set in each of the ways a desktop sets it.
#include "app/desktop.h"
#include "app/tarn80x.h"
#include "tests/support/window_fixture.h"

#include <QtTest>
#include <algorithm>
#include <iterator>

using namespace tarn;
using namespace tarn::test;

namespace {

double envNumber(const char* name, double otherwise) {
    const QString text = qEnvironmentVariable(name).split(QLatin1Char(';')).value(0);
    return text.isEmpty() ? otherwise : text.toDouble();
}

// The scale this run's environment asks for: font DPI over 96, times the screen's and the
// overall factor.
double askedScale() {
    return envNumber("QT_FONT_DPI", 96.0) / 96.0 * envNumber("QT_SCREEN_SCALE_FACTORS", 1.0) *
           envNumber("QT_SCALE_FACTOR", 1.0);
}

} // namespace

class TestScreenFit : public QObject {
    Q_OBJECT

  private slots:
    void windowFitsTheScreen() {
        const struct {
            double scale;
            QSize window; // in device pixels
            QSize screen;
        } kCases[] = {{1.0, {1260, 686}, {1366, 768}}, {1.5, {1890, 1029}, {1920, 1080}}};
        const auto* c = std::find_if(std::begin(kCases), std::end(kCases), [](const auto& k) {
            return qFuzzyCompare(k.scale, askedScale());
        });
        QVERIFY2(c != std::end(kCases), "no case for the scale of this environment");

        WindowFixture f;
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        const double ratio = f.window().devicePixelRatioF();
        QCOMPARE(ratio, c->scale);
        const QSize window = (QSizeF(f.window().frameGeometry().size()) * ratio).toSize();
        QCOMPARE(window, c->window);
        QVERIFY(QRect(QPoint(), c->screen).contains(QRect(QPoint(), window)));
    }
};

int main(int argc, char* argv[]) {
    // The offscreen platform reports 100 DPI where a desktop at 100 % says 96.
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI")) qputenv("QT_FONT_DPI", "96");
    App_Set_Scaling_Attributes(); // as the application does
    QApplication app(argc, argv);
    TestScreenFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_screen_fit.moc"
