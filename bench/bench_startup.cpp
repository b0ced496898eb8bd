// Start-up of the main window against a bare window, measured from outside by bench/startup.sh.
//     bench_startup app|bare LAUNCH_NS
// Starts like the application (against the simulated unit), shows the main window, or a bare
// window of the same size with one line of Chinese and one of English in the application's font,
// and prints, once the window is exposed, the time since LAUNCH_NS (the driver's clock at the
// fork, CLOCK_REALTIME in ns) and the peak resident memory so far.
#include "app/desktop.h"
#include "app/form.h"
#include "app/tarn80x.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sys/resource.h>

namespace {

long long nowNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Fires once when the window is first exposed.
class ExposeWatch : public QObject {
  public:
    explicit ExposeWatch(long long launch) : launch_(launch) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !done_) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                done_ = true;
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("%.1f ms %.1f MiB\n", double(nowNs() - launch_) / 1e6,
                            double(usage.ru_maxrss) / 1024.0);
                std::fflush(stdout);
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
        }
        return false;
    }

  private:
    long long launch_;
    bool done_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: bench_startup app|bare LAUNCH_NS\n", stderr);
        return 2;
    }
    const bool bare = QByteArray(argv[1]) == "bare";
    const long long launch = QByteArray(argv[2]).toLongLong();
    tarn::App_Set_Scaling_Attributes();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarn80x"));
    ExposeWatch watch(launch);
    app.installEventFilter(&watch);
    std::unique_ptr<QWidget> window;
    if (bare) {
        window = std::make_unique<QWidget>();
        window->setFont(tarn::Fixed_Font(tarn::kFontPixels));
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(new QLabel(QStringLiteral("均衡器与分频器")));
        layout->addWidget(new QLabel(QStringLiteral("Equaliser and crossovers")));
        window->resize(1260, 686);
    } else {
        window = std::make_unique<tarn::Tarn80X>();
    }
    window->show();
    return app.exec();
}
