// The distance dialog: one distance per channel, labelled with the channel's role, and Apply,
// which hands the delays it works out to the window. Built in the language of the moment.
#pragma once

#include "model/param_image.h"
#include "session/bulk_edits.h"
#include "widgets/frameless_dialog.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarn {

class DistanceForm : public FramelessDialog {
    Q_OBJECT

  public:
    // apply receives the new delay of each channel that has a distance.
    explicit DistanceForm(std::function<void(const ChannelDelays&)> apply,
                          QWidget* parent = nullptr);
    ~DistanceForm() override;

  public slots:
    void on_BT_CLOSE_clicked();
    void on_BT_DISTANCE_APPLY_clicked();

  private:
    struct Ui {
        QPushButton* BT_CLOSE = nullptr;
        QLabel* label_title = nullptr;
        QLabel* label_hint = nullptr;
        std::array<QLabel*, kChannels> channel{};     // label_Distance_n: "CH1 前左高频"
        std::array<QLineEdit*, kChannels> distance{}; // Edit_Distance_n
        QPushButton* BT_DISTANCE_APPLY = nullptr;
        void setupUi(QDialog* dialog);
    };
    Ui ui;
    std::function<void(const ChannelDelays&)> apply_;
};

// "CH3 FL Tweeter" / "CH3 前左高频": the channel and its role in the given language.
QString Channel_Role_Label(int ch, bool english);

} // namespace tarn
