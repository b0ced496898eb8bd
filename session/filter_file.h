// Filter-settings text as room-measurement programs and parametric-equaliser configurations write
// it, read into filters, and fitted into the 31 bands of one channel. Pure: no widgets, no sending.
#pragma once

#include "model/param_image.h"
#include "session/bulk_edits.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
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
    QStringList channels;           // the "Channel:" line it is under; empty: every channel
};

struct FilePreamp {
    QStringList channels; // as for a filter
    double db = 0;
};

struct FilterFile {
    bool ok = false;
    // When !ok: the line that could not be read; 0 when the text holds no filter line at all.
    int badLine = 0;
    std::vector<FileFilter> filters; // "None" slots are left out
    std::vector<FilePreamp> preamps;
    // The preamp lines for every channel, added up.
    bool hasPreamp = false;
    double preamp = 0; // dB
    // Every channel the "Channel:" lines name, as first written, in the order they appear; empty
    // when the file has no channel sections (or once one channel has been taken out of it).
    QStringList channels;
    QString channel; // the channel taken out by Filter_File_For
};

// Lines "Filter 3: ON PK Fc 125 Hz Gain -3.5 dB Q 2.00" (also "Filter: ..."; a peaking filter
// may give "BW Oct n" instead of Q; a room-mode filter "Modal ... Q 11.59 T60 target 300 ms" is a
// peaking filter), "Preamp: -4.5 dB" and "Channel: L" (the channels the lines below it are for,
// up to the next such line; "Channel: all" for every channel). Blank lines, comments ('#', '*'),
// every line before the first filter line (a header, whatever it holds) and lines that start
// with a word (other directives) are passed over; any other line, and a filter, preamp or channel
// line that does not read (or holds values no equaliser has: gain beyond +-100 dB, Q above 1000),
// makes the file unreadable at that line. UTF-8, or UTF-16 with its byte-order mark.
FilterFile Read_Filter_File(const QByteArray& text);

// The filters and preamps of one channel the file names: those under a "Channel:" line naming it
// and those for every channel. Fit_Filters and File_Peaks_Db use only filters for every channel,
// so a file with channel sections is taken apart here first, never merged.
FilterFile Filter_File_For(const FilterFile& file, const QString& channel);

// The channel of `channels` (a file's channel names) to offer first for a channel with speaker
// role `role`: the name of its position ("RL" for a rear left speaker), else of its side ("L");
// -1 when none fits.
int Preferred_Channel(const QStringList& channels, uint8_t role);

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
    // The largest difference between the file's active peaking filters as written and the bands
    // as the unit holds them, both as the standard peaking filter, and the frequency where it lies.
    double worstDb = 0;
    double worstFreq = 20;
};

// The first 31 active peaking filters, each into one band (frequency 20..20000 Hz, gain +-12.0 dB,
// Q 0.4..10.0, clamped and noted). Bands are chosen in frequency order, each filter as near in
// frequency to its band's default as the order allows, so the markers stay close to their homes.
FilterFit Fit_Filters(const FilterFile& file);

// The level of the file's peaking filters (gain and Q as written) at f, in dB, each the standard
// peaking filter at 48 kHz as the programs that write these files describe it.
double File_Peaks_Db(const std::vector<FileFilter>& filters, double f);
// The level of the bands at f, in dB, each the same standard peaking filter.
double Bands_Db(const ChannelBands& bands, double f);

// The import summary for the notice, in one language. When no filter could be applied it says
// that nothing was changed.
QString Filter_Import_Summary(const FilterFile& file, const FilterFit& fit, int ch, bool english);

} // namespace tarn
