// The automatic equalisation dialog of one channel: target, mode and boost limit, the predicted
// response against the target, the residual and the safety check of the tune with the fitted
// bands. Nothing reaches the unit until Apply, which hands the bands to the window.
#pragma once

#include "dsp/eq_fit.h"
#include "widgets/frameless_dialog.h"

#include <functional>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace tarn {

class AutoEqPlot;

class AutoEqForm : public FramelessDialog {
    Q_OBJECT

  public:
    // ch: the channel; measured: its measurement; apply receives the bands when the user applies.
    AutoEqForm(int ch, std::vector<MeasuredPoint> measured,
               std::function<void(int ch, const FitBands&)> apply, QWidget* parent = nullptr);
    ~AutoEqForm() override;

    const FitResult& fit() const { return fit_; }

  private:
    void refit();
    void applyFit();

    int ch_;
    std::vector<MeasuredPoint> measured_;
    std::function<void(int, const FitBands&)> apply_;
    FitResult fit_;
    QComboBox* target_ = nullptr;
    QComboBox* mode_ = nullptr;
    QDoubleSpinBox* maxBoost_ = nullptr;
    AutoEqPlot* plot_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* findings_ = nullptr;
    QPushButton* applyButton_ = nullptr;
};

} // namespace tarn
