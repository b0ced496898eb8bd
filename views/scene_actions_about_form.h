// The About box: the application line, this program's version and the unit's firmware version as
// it stood when the box was opened.
#pragma once

#include "widgets/frameless_dialog.h"

#include <QDialog>
#include <QPoint>

class QLabel;
class QPushButton;

namespace tarn {

class AboutForm : public FramelessDialog {
    Q_OBJECT

  public:
    explicit AboutForm(QWidget* parent = nullptr);
    ~AboutForm() override;

  public slots:
    void on_BT_CLOSE_clicked();
    void on_BT_EXIT_clicked();

  private:
    struct Ui {
        QPushButton* BT_CLOSE = nullptr;
        QLabel* label_2 = nullptr;  // heading
        QLabel* label_4 = nullptr;  // application line
        QLabel* label_6 = nullptr;  // caption of the firmware version
        QLabel* label_8 = nullptr;  // firmware version
        QLabel* label_7 = nullptr;  // banner
        QLabel* label_9 = nullptr;  // caption of the program version
        QLabel* label_10 = nullptr; // this program's version
        QPushButton* BT_EXIT = nullptr;
        void setupUi(QDialog* dialog);
    };
    Ui ui;
};

} // namespace tarn
