// Filter-settings text as room-measurement programs and parametric-equaliser configurations write
// it, read into filters, and fitted into the 31 bands of one channel. Pure: no widgets, no sending.
#pragma once

#include "model/param_image.h"
#include "tuning/bulk_edits.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

namespace tarn {

constexpr qint64 kFilterFileMaxBytes = 1024 * 1024;

struct FileFilter {
    int line = 0;    // 1-based
    bool on = false; // ON / OFF
    QString type;    // as written: "PK", "LS", "HP", "LS 6dB", ...
    bool peaking = false;
    double fc = 0, gain = 0, q = 0; // read for peaking filters only
};

struct FilterFile {
    bool ok = false;
    // When !ok: the line that could not be read; 0 when the text holds no filter line at all.
    int badLine = 0;
    std::vector<FileFilter> filters; // "None" slots are left out
    bool hasPreamp = false;
    double preamp = 0; // dB
};

// Lines "Filter 3: ON PK Fc 125 Hz Gain -3.5 dB Q 2.00" (also "Filter: ..."; a peaking filter
// may give "BW Oct n" instead of Q) and "Preamp: -4.5 dB". Blank lines, comments ('#', '*') and
// lines that start with a word (headers, other directives) are passed over; any other line, and a
// filter or preamp line that does not read (or holds values no equaliser has: gain beyond
// +-100 dB, Q above 1000), makes the file unreadable at that line.
FilterFile Read_Filter_File(const QByteArray& text);

// All 31 bands flat at their default frequencies, Q 3.0.
ChannelBands Flat_Bands();

struct FilterClamp {
    enum class Field { Freq, Gain, Q };
    int line;
    Field field;
    double from, to;
};

struct FilterSkip {
    enum class Why { Off, Unsupported, TooMany };
    int line;
    QString type;
    Why why;
};

struct FilterFit {
    ChannelBands bands = Flat_Bands();
    std::array<int, kBands> bandLine{}; // the file line a band came from, 0 for a flat band
    int applied = 0;
    std::vector<FilterClamp> clamps;
    std::vector<FilterSkip> skipped;
    // The largest difference between the file's active peaking filters as written and the bands,
    // both computed as the graph computes a band, and the frequency where it lies.
    double worstDb = 0;
    double worstFreq = 20;
};

// The first 31 active peaking filters, each into one band (frequency 20..20000 Hz, gain +-12.0 dB,
// Q 0.4..10.0, clamped and noted). Bands are chosen in frequency order, each filter as near in
// frequency to its band's default as the order allows, so the markers stay close to their homes.
FilterFit Fit_Filters(const FilterFile& file);

// The level of the file's peaking filters (gain and Q as written) at f, in dB.
double File_Peaks_Db(const std::vector<FileFilter>& filters, double f);
// The level of a band set at f, in dB.
double Bands_Db(const ChannelBands& bands, double f);

// The import summary for the notice, in one language.
QString Filter_Import_Summary(const FilterFile& file, const FilterFit& fit, int ch, bool english);

} // namespace tarn
