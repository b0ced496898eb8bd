// Renders the main window against the simulated unit, once it has read the unit back, into a PNG
// file without a display (run with QT_QPA_PLATFORM=offscreen; tools/screenshot.sh does).
//     tarn80x-screenshot OUTPUT.png [english]
#include "app/desktop.h"
#include "app/tarn80x.h"
#include "link/link_machine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <cstdio>

int main(int argc, char* argv[]) {
    tarn::App_Set_Scaling_Attributes();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [english]\n", argv[0]);
        return 2;
    }
    tarn::Tarn80X window;
    if (argc > 2 && QByteArray(argv[2]) == "english") window.Language_Set(1);
    window.show();
    QElapsedTimer clock;
    clock.start();
    while (tarn::Link_Machine().phase() != tarn::LinkPhase::Idle) {
        if (clock.elapsed() > 20000) {
            std::fprintf(stderr, "the simulated unit was not read back\n");
            return 1;
        }
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    window.channelBar().switchTo(1); // a channel with boosts and crossovers on the graph
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
