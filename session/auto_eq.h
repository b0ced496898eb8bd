// Automatic equalisation against the tune: the fit's request from a channel of an image (its
// crossovers and bands), the fitted bands written back, and the words that report a fit.
#pragma once

#include "dsp/eq_fit.h"
#include "session/bulk_edits.h"
#include "session/text.h"

#include <QByteArray>

namespace tarn {

// The crossovers and bands of channel ch of a mirror image (PC gain encoding), ready for the
// measurement, target, mode and limit.
FitRequest Fit_Request_For(const ParamImage& image, int ch);

// The fitted bands as the mirror holds them (PC gain encoding, Q x 10).
ChannelBands Channel_Bands_Of(const FitBands& bands);
// Writes the bands into channel ch of an image.
void Apply_Fit_Bands(ParamImage& image, int ch, const FitBands& bands);

// A measurement or target file's text read, or why it was refused (both languages; empty when
// read). The points are those between the file's lines, any order.
struct CurveFile {
    std::vector<MeasuredPoint> points;
    BilingualText refusal;
    bool ok() const { return refusal.isEmpty(); }
};
CurveFile Read_Curve_File(const QString& path);

// What the fit leaves: the residual against the target and with the bands flat, the range, the
// bands used and the time taken; the narrow dips left alone, when there are any.
BilingualText Fit_Summary(const FitResult& fit);
// Why there was nothing to fit.
BilingualText Fit_Error_Text(const FitResult& fit);

} // namespace tarn
