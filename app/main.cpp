#include "app/tarn80x.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int exitCode = 0;
    {
        tarn::Tarn80X window;
        window.show();
        exitCode = app.exec();
    } // the window goes before the application object
    return exitCode;
}
