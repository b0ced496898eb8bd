// The left/right link dialog: which side is the reference, what is shared, and the synchronise
// that copies the reference across once and records the pair.
#pragma once

#include "widgets/frameless_dialog.h"

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarn {

class LinkForm : public FramelessDialog {
    Q_OBJECT

  public:
    explicit LinkForm(QWidget* parent = nullptr);
    ~LinkForm() override;

  signals:
    // Channel TempCH received a copy; the channel bar has it shown and sent.
    void LinkForm_ChangeEvent(uint8_t TempCH);
    // The synchronise button with the choices made (reference side kLinkBase*, link mode of the
    // edited channel): the channel bar runs the synchronise with them as one undo step. Choosing
    // alone changes nothing. LinkForm_ChangeEvent is kept for single receiving channels handed
    // over by other code.
    void LinkForm_SyncRequested(uint8_t base, uint8_t linkMode);

  public slots:
    void on_BT_CLOSE_clicked();
    void on_radioButton_1_clicked();
    void on_radioButton_2_clicked();
    void on_pushButton_clicked();
    // The pair line from the edited channel, the roles and the chosen reference side.
    void showPairs();

  private:
    struct Ui {
        QLineEdit* lineEdit = nullptr;   // heading
        QLabel* Label_Pairs = nullptr;   // which channels the synchronise pairs, which way
        QLineEdit* lineEdit_2 = nullptr; // caption of the reference choice
        QRadioButton* radioButton_1 = nullptr;
        QRadioButton* radioButton_2 = nullptr;
        QLineEdit* lineEdit_3 = nullptr; // caption of the kind choice
        QRadioButton* radioButton_3 = nullptr;
        QRadioButton* radioButton_4 = nullptr;
        QRadioButton* radioButton_5 = nullptr;
        QPushButton* pushButton = nullptr;
        QPushButton* BT_CLOSE = nullptr;
        void setupUi(QDialog* dialog);
    };
    Ui ui;
};

} // namespace tarn
