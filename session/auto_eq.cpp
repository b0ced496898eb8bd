#include "session/auto_eq.h"

#include "model/param_image.h"
#include "session/file_io.h"
#include "session/tuning_texts.h"
#include "session/unit_files.h"

#include <QStringList>
#include <algorithm>

namespace tarn {

namespace {

constexpr Bilingual kSummary{
    "预测残差 %1 dB RMS（1/6 倍频程平滑，%2–%3 Hz；在提升和衰减限制内可达部分为 %7 dB），"
    "均衡全部平直时为 %4 dB；使用的段数：%5，用时 %6 ms。",
    "Predicted residual %1 dB RMS (1/6-octave smoothed, %2 to %3 Hz; %7 dB against what the "
    "boost and cut limits let be reached), %4 dB with every band flat; bands used: %5, time %6 "
    "ms."};
constexpr Bilingual kNarrowDips{"以下窄谷是声波抵消，未作提升：%1 Hz。",
                                "Narrow dips left alone (cancellations, no boost): %1 Hz."};
constexpr Bilingual kNoRange{
    "测量曲线没有覆盖该通道高通与低通之间的频段（至少 1/3 倍频程），无法自动均衡。未作任何更改。",
    "The measurement does not cover the channel's pass band between its high-pass and low-pass "
    "(a third of an octave at least): nothing to equalise. Nothing was changed."};

CrossoverSetting crossoverOf(const ParamImage& p, const FilterFields& f, int ch) {
    return CrossoverSetting{p.filterOff(f, ch) == 0, p.filterType(f, ch), p.filterSlope(f, ch),
                            p.filterFreq(f, ch)};
}

} // namespace

FitRequest Fit_Request_For(const ParamImage& p, int ch) {
    FitRequest rq;
    rq.hpf = crossoverOf(p, kHpfFields, ch);
    rq.lpf = crossoverOf(p, kLpfFields, ch);
    for (int b = 0; b < kBands; ++b)
        rq.bands[b] = FitBand{p.EQ_Freq(ch, b), p.EQ_Gain_Signed(ch, b) - kGainFlat,
                              std::clamp<int>(p.EQ_Q(ch, b), kEqQMin, kEqQMax)};
    return rq;
}

ChannelBands Channel_Bands_Of(const FitBands& bands) {
    ChannelBands out;
    for (int b = 0; b < kBands; ++b)
        out[b] = BandSetting{static_cast<uint16_t>(bands[b].freq),
                             static_cast<uint16_t>(kGainFlat + bands[b].gain),
                             static_cast<uint8_t>(bands[b].q)};
    return out;
}

void Apply_Fit_Bands(ParamImage& image, int ch, const FitBands& bands) {
    const ChannelBands set = Channel_Bands_Of(bands);
    for (int b = 0; b < kBands; ++b) {
        image.set_EQ_Freq(ch, b, set[b].freq);
        image.set_EQ_Gain(ch, b, set[b].gain);
        image.set_EQ_Q(ch, b, set[b].q);
    }
}

CurveFile Read_Curve_File(const QString& path) {
    CurveFile out;
    QByteArray bytes;
    qint64 size = 0;
    const ReadProblem problem = Read_Regular_File(path, kMeasurementMaxBytes + 1, bytes, &size);
    if (problem != ReadProblem::None) {
        out.refusal = Read_Problem_Text(problem, txt::FileUnreadable);
        return out;
    }
    if (size > kMeasurementMaxBytes) {
        out.refusal = Text_Of(txt::FileTooLarge);
        return out;
    }
    MeasurementRead read = Read_Measurement(bytes);
    switch (read.error) {
    case MeasurementRead::Error::None:
        out.points = std::move(read.points);
        break;
    case MeasurementRead::Error::BadLine:
        out.refusal = Fill_Text(txt::MeasurementBadLine, {QString::number(read.badLine)});
        break;
    case MeasurementRead::Error::AmbiguousComma:
        out.refusal = Fill_Text(txt::MeasurementAmbiguousComma, {QString::number(read.badLine)});
        break;
    case MeasurementRead::Error::TooFewPoints:
        out.refusal = Fill_Text(txt::MeasurementTooFew, {QString::number(read.inRange)});
        break;
    }
    return out;
}

BilingualText Fit_Summary(const FitResult& fit) {
    BilingualText text = Fill_Text(
        kSummary, {QString::number(fit.residualDb, 'f', 2), QString::number(fit.fromHz, 'f', 0),
                   QString::number(fit.toHz, 'f', 0), QString::number(fit.flatResidualDb, 'f', 2),
                   QString::number(fit.bandsUsed), QString::number(fit.elapsedMs, 'f', 0),
                   QString::number(fit.reachableResidualDb, 'f', 2)});
    if (!fit.narrowDips.empty()) {
        QStringList dips;
        for (double f : fit.narrowDips)
            dips.append(QString::number(f, 'f', 0));
        const BilingualText more = Fill_Text(kNarrowDips, {dips.join(QStringLiteral(", "))});
        text.zh += more.zh;
        text.en += QLatin1Char(' ') + more.en;
    }
    return text;
}

BilingualText Fit_Error_Text(const FitResult& fit) {
    return fit.error == FitResult::Error::None ? BilingualText{} : Text_Of(kNoRange);
}

} // namespace tarn
