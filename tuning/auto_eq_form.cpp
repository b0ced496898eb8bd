#include "tuning/auto_eq_form.h"

#include "dsp/response.h"
#include "model/param_image.h"
#include "session/auto_eq.h"
#include "session/safety_check.h"
#include "session/tuning_texts.h"
#include "tuning/distance_form.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace tarn {

namespace {

constexpr char kSheet[] =
    "QDialog#AutoEqForm{background-color: rgb(24, 25, 28);border:1px solid gray;}"
    "QLabel{color:white;background-color: transparent;}"
    "QLabel#AutoEqLegend{color: rgb(192, 192, 192);}"
    "QComboBox, QDoubleSpinBox{color:white;background-color: rgb(40, 40, 42);"
    "border:1px solid gray;}"
    "QPushButton{background-color: rgb(72, 72, 73);color:white;border:1px groove gray;"
    "border-radius:6px;padding:1px 8px;border-style: outset;}"
    "QPushButton:pressed{background-color: rgb(204, 204, 204);color:black;}";

} // namespace

// The predicted response and the target on the response grid, 20 Hz..20 kHz and +-18 dB around
// the target's level at 1 kHz.
class AutoEqPlot : public QWidget {
  public:
    explicit AutoEqPlot(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("AutoEqPlot"));
        setMinimumSize(520, 200);
    }
    void show(const FitResult& fit) {
        fit_ = fit;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(15, 16, 18));
        const double mid = fit_.target[kCurvePoints / 2];
        const auto x = [this](int i) { return i * (width() - 1) / double(kCurvePoints - 1); };
        const auto y = [this, mid](double db) {
            return height() / 2.0 - (db - mid) * height() / 36.0;
        };
        p.setPen(QColor(60, 60, 64));
        for (double f : {100.0, 1000.0, 10000.0}) {
            const double gx = std::log(f / 20.0) / std::log(1000.0) * (width() - 1);
            p.drawLine(QPointF(gx, 0), QPointF(gx, height()));
        }
        p.setRenderHint(QPainter::Antialiasing);
        for (int row = 0; row < 2; ++row) {
            QPainterPath path;
            bool open = false;
            for (int i = 0; i < kCurvePoints; ++i) {
                if (!fit_.covered[i]) {
                    open = false;
                    continue;
                }
                const QPointF at(x(i), y(row == 0 ? fit_.target[i] : fit_.predicted[i]));
                if (open)
                    path.lineTo(at);
                else
                    path.moveTo(at);
                open = true;
            }
            p.setPen(QPen(row == 0 ? QColor(160, 160, 160) : QColor(65, 105, 225), 2));
            p.drawPath(path);
        }
    }

  private:
    FitResult fit_;
};

AutoEqForm::AutoEqForm(int ch, std::vector<MeasuredPoint> measured,
                       std::function<void(int, const FitBands&)> apply, QWidget* parent)
    : FramelessDialog(parent), ch_(ch), measured_(std::move(measured)), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("AutoEqForm"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setStyleSheet(QString::fromLatin1(kSheet));
    const bool en = Pc.Lang_EN != 0;
    setWindowTitle(tr2(txt::AutoEqTitle, en));

    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(
        tr2(txt::AutoEqTitle, en) + QStringLiteral(" · ") + Channel_Role_Label(ch, en), this);
    title->setObjectName(QStringLiteral("AutoEqHeading"));
    QFont heading = title->font();
    heading.setBold(true);
    title->setFont(heading);
    layout->addWidget(title);

    auto* form = new QFormLayout;
    target_ = new QComboBox(this);
    target_->setObjectName(QStringLiteral("AutoEqTarget"));
    for (const Bilingual& t : txt::AutoEqTargets)
        target_->addItem(tr2(t, en));
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("AutoEqMode"));
    for (const Bilingual& m : txt::AutoEqModes)
        mode_->addItem(tr2(m, en));
    maxBoost_ = new QDoubleSpinBox(this);
    maxBoost_->setObjectName(QStringLiteral("AutoEqMaxBoost"));
    maxBoost_->setRange(0.0, 12.0);
    maxBoost_->setDecimals(1);
    maxBoost_->setSingleStep(0.5);
    maxBoost_->setValue(6.0);
    form->addRow(tr2(txt::AutoEqTarget, en), target_);
    form->addRow(tr2(txt::AutoEqMode, en), mode_);
    form->addRow(tr2(txt::AutoEqMaxBoost, en), maxBoost_);
    layout->addLayout(form);

    plot_ = new AutoEqPlot(this);
    layout->addWidget(plot_, 1);
    auto* legend = new QLabel(tr2(txt::AutoEqLegend, en), this);
    legend->setObjectName(QStringLiteral("AutoEqLegend"));
    layout->addWidget(legend);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("AutoEqSummary"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    findings_ = new QLabel(this);
    findings_->setObjectName(QStringLiteral("AutoEqFindings"));
    findings_->setWordWrap(true);
    layout->addWidget(findings_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    applyButton_ = new QPushButton(tr2(txt::AutoEqApply, en), this);
    applyButton_->setObjectName(QStringLiteral("AutoEqApply"));
    auto* cancel = new QPushButton(tr2(txt::TransferCancel, en), this);
    cancel->setObjectName(QStringLiteral("AutoEqCancel"));
    buttons->addWidget(applyButton_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(target_, &QComboBox::currentIndexChanged, this, &AutoEqForm::refit);
    connect(mode_, &QComboBox::currentIndexChanged, this, &AutoEqForm::refit);
    connect(maxBoost_, &QDoubleSpinBox::valueChanged, this, &AutoEqForm::refit);
    connect(applyButton_, &QPushButton::clicked, this, &AutoEqForm::applyFit);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    resize(600, 520);
    refit();
}

AutoEqForm::~AutoEqForm() = default;

void AutoEqForm::refit() {
    const bool en = Pc.Lang_EN != 0;
    FitRequest rq = Fit_Request_For(Param_Image, ch_);
    rq.measurement = measured_;
    rq.target = target_->currentIndex() == 1 ? House_Target() : Flat_Target();
    rq.mode = mode_->currentIndex() == 1 ? FitMode::Geq : FitMode::Peq;
    rq.maxBoostDb = maxBoost_->value();
    fit_ = Fit_Eq(rq);
    plot_->show(fit_);
    const bool ok = fit_.error == FitResult::Error::None;
    applyButton_->setEnabled(ok);
    summary_->setText(tr2(ok ? Fit_Summary(fit_) : Fit_Error_Text(fit_)));
    if (!ok) {
        findings_->clear();
        return;
    }
    // The tune as it would stand: the check warns and never disables Apply.
    ParamImage tuned = Param_Image;
    Apply_Fit_Bands(tuned, ch_, fit_.bands);
    QStringList lines{tr2(txt::AutoEqChecks, en)};
    for (const SafetyFinding& f : Safety_Check(tuned))
        lines.append(f.text.in(en));
    if (lines.size() == 1) lines.append(tr2(txt::AutoEqNothingFound, en));
    findings_->setText(lines.join(QLatin1Char('\n')));
}

void AutoEqForm::applyFit() {
    if (fit_.error != FitResult::Error::None) return;
    if (apply_) apply_(ch_, fit_.bands);
    close();
}

} // namespace tarn
