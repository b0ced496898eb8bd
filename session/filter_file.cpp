#include "session/filter_file.h"

#include "dsp/decimal.h"
#include "dsp/readout_text.h"
#include "dsp/response.h"
#include "session/roles.h"
#include "session/tuning_texts.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tarn {

namespace {

constexpr int kFitPoints = 256; // log grid, 20 Hz..20 kHz, for the largest difference

// A number as written, with a unit glued to it or a decimal comma (the fields are separated by
// spaces, so a comma can only be a decimal comma).
bool Read_Number(QString token, const char* unit, double& out) {
    if (unit && token.endsWith(QLatin1String(unit), Qt::CaseInsensitive))
        token.chop(static_cast<int>(qstrlen(unit)));
    const QByteArray latin = token.toLatin1();
    return Read_Decimal(latin.constData(), static_cast<int>(latin.size()), true, out);
}

bool Is(const QString& token, const char* word) {
    return token.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Q of a bandwidth of n octaves.
double Q_Of_Octaves(double n) {
    const double p = std::pow(2.0, n);
    return std::sqrt(p) / (p - 1.0);
}

// The part after "Filter n:". False when it does not read.
bool Read_Filter(const QStringList& t, FileFilter& f) {
    if (t.isEmpty()) return false;
    if (Is(t[0], "ON"))
        f.on = true;
    else if (!Is(t[0], "OFF"))
        return false;
    int i = 1;
    QStringList type;
    while (i < t.size() && !Is(t[i], "Fc") && !Is(t[i], "Gain") && !Is(t[i], "Q") &&
           !Is(t[i], "BW"))
        type << t[i++];
    if (type.isEmpty()) return false;
    f.type = type.join(QLatin1Char(' '));
    // A modal filter is a peaking filter for a room mode, its Q derived from a decay-time target
    // that is written after it ("T60 target 300 ms") and not needed once the Q is known.
    f.peaking =
        type.size() == 1 && (Is(type[0], "PK") || Is(type[0], "PEQ") || Is(type[0], "Modal"));
    if (!f.peaking) return true; // listed by its type; its values are not used

    bool fc = false, gain = false, q = false;
    while (i < t.size()) {
        const QString key = t[i++];
        const auto next = [&](const char* unit, double& v) {
            if (i >= t.size() || !Read_Number(t[i++], unit, v)) return false;
            if (unit && i < t.size() && Is(t[i], unit)) ++i;
            return true;
        };
        if (Is(key, "Fc")) {
            if (!next("Hz", f.fc) || f.fc <= 0.0) return false;
            fc = true;
        } else if (Is(key, "Gain")) {
            if (!next("dB", f.gain)) return false;
            gain = true;
        } else if (Is(key, "Q")) {
            if (!next(nullptr, f.q) || f.q <= 0.0) return false;
            q = true;
        } else if (Is(key, "T60")) {
            if (i < t.size() && Is(t[i], "target")) ++i;
            double ms = 0;
            if (!next("ms", ms) || ms <= 0.0) return false;
        } else if (Is(key, "BW") && i < t.size() && Is(t[i], "Oct")) {
            ++i;
            double n = 0;
            if (!next(nullptr, n) || n <= 0.0 || n > 10.0) return false;
            f.q = Q_Of_Octaves(n);
            q = true;
        } else {
            return false;
        }
    }
    // Values no equaliser has would make the file's own response meaningless (or infinite).
    const bool sane = f.fc <= 1e6 && std::fabs(f.gain) <= 100.0 && f.q <= 1000.0;
    return fc && gain && q && sane;
}

bool Starts_With_Letter(const QString& line) {
    return !line.isEmpty() && line[0].isLetter();
}

double Clamp_Note(double v, double lo, double hi, int line, FilterClamp::Field field,
                  std::vector<FilterClamp>& clamps) {
    const double c = std::min(std::max(v, lo), hi);
    if (c != v) clamps.push_back({line, field, v, c});
    return c;
}

// Bands for n filters in frequency order: strictly rising band indices, each filter as near as
// possible (in log frequency, summed) to its band's default frequency.
std::vector<int> Choose_Bands(const std::vector<double>& freqs) {
    const int n = static_cast<int>(freqs.size());
    std::vector<int> out(static_cast<size_t>(n));
    if (n == 0) return out;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    std::vector<std::array<double, kBands>> cost(static_cast<size_t>(n));
    std::vector<std::array<int, kBands>> from(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        for (int j = 0; j < kBands; ++j) {
            double best = kInf;
            int arg = -1;
            if (j >= k && kBands - j >= n - k) {
                if (k == 0) {
                    best = 0;
                } else {
                    for (int p = k - 1; p < j; ++p)
                        if (cost[k - 1][p] < best) best = cost[k - 1][p], arg = p;
                }
                best += std::fabs(std::log(freqs[k] / kDefaultBandFreq[j]));
            }
            cost[k][j] = best;
            from[k][j] = arg;
        }
    }
    int j = static_cast<int>(std::min_element(cost[n - 1].begin(), cost[n - 1].end()) -
                             cost[n - 1].begin());
    for (int k = n - 1; k >= 0; --k) {
        out[k] = j;
        j = from[k][j];
    }
    return out;
}

// The preamp lines that apply to every channel, added up as an equaliser adds them.
void Total_Preamp(FilterFile& file) {
    file.hasPreamp = false;
    file.preamp = 0;
    for (const FilePreamp& p : file.preamps) {
        if (!p.channels.isEmpty()) continue;
        file.hasPreamp = true;
        file.preamp += p.db;
    }
}

} // namespace

FilterFile Read_Filter_File(const QByteArray& text) {
    static const QRegularExpression filterHead(QStringLiteral("^Filter\\s*\\d*\\s*:"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression preampHead(QStringLiteral("^Preamp\\s*:"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression channelHead(QStringLiteral("^Channel\\s*:"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    FilterFile out;
    bool anyFilterLine = false;
    QStringList selected; // the channels the lines below are for; empty: every channel
    int lineNo = 0;
    for (const QByteArray& raw : utf8Text(text).split('\n')) {
        ++lineNo;
        QString line = QString::fromUtf8(raw).trimmed();
        if (lineNo == 1 && line.startsWith(QChar(0xFEFF))) line = line.mid(1).trimmed();
        if (line.isEmpty() || line[0] == QLatin1Char('#') || line[0] == QLatin1Char('*')) continue;
        const QRegularExpressionMatch filter = filterHead.match(line);
        const QRegularExpressionMatch preamp = preampHead.match(line);
        const QRegularExpressionMatch channel = channelHead.match(line);
        bool read = true;
        if (filter.hasMatch()) {
            anyFilterLine = true;
            const QStringList t = line.mid(filter.capturedEnd()).split(spaces, Qt::SkipEmptyParts);
            FileFilter f;
            f.line = lineNo;
            f.channels = selected;
            read = Read_Filter(t, f);
            if (read && !Is(f.type, "None")) out.filters.push_back(f);
        } else if (preamp.hasMatch()) {
            QStringList t = line.mid(preamp.capturedEnd()).split(spaces, Qt::SkipEmptyParts);
            if (t.size() == 2 && Is(t[1], "dB")) t.removeLast();
            double db = 0;
            read = t.size() == 1 && Read_Number(t[0], "dB", db) && std::fabs(db) <= 100.0;
            if (read) out.preamps.push_back({selected, db});
        } else if (channel.hasMatch()) {
            const QStringList names =
                line.mid(channel.capturedEnd()).split(spaces, Qt::SkipEmptyParts);
            read = !names.isEmpty();
            selected.clear();
            if (!names.contains(QStringLiteral("all"), Qt::CaseInsensitive)) {
                for (const QString& name : names) {
                    if (!selected.contains(name, Qt::CaseInsensitive)) selected << name;
                    if (!out.channels.contains(name, Qt::CaseInsensitive)) out.channels << name;
                }
            }
        } else if (anyFilterLine && !Starts_With_Letter(line)) {
            // Before the first filter line anything is header (a measurement's name may start
            // with a digit); among the filters, numbers or bytes mean a damaged file.
            read = false;
        }
        if (!read) {
            out.badLine = lineNo;
            out.filters.clear();
            out.preamps.clear();
            out.channels.clear();
            return out;
        }
    }
    Total_Preamp(out);
    out.ok = anyFilterLine;
    return out;
}

FilterFile Filter_File_For(const FilterFile& file, const QString& channel) {
    FilterFile out = file;
    out.channel = channel;
    out.channels.clear();
    const auto applies = [&](const QStringList& channels) {
        return channels.isEmpty() || channels.contains(channel, Qt::CaseInsensitive);
    };
    out.filters.clear();
    for (const FileFilter& f : file.filters) {
        if (!applies(f.channels)) continue;
        out.filters.push_back(f);
        out.filters.back().channels.clear();
    }
    out.preamps.clear();
    for (const FilePreamp& p : file.preamps)
        if (applies(p.channels)) out.preamps.push_back({QStringList(), p.db});
    Total_Preamp(out);
    return out;
}

int Preferred_Channel(const QStringList& channels, uint8_t role) {
    // The names a configuration gives a channel, the role's own position first, then its side.
    static const QStringList names[] = {
        {QStringLiteral("L"), QStringLiteral("FL")},
        {QStringLiteral("R"), QStringLiteral("FR")},
        {QStringLiteral("RL"), QStringLiteral("SL"), QStringLiteral("BL"), QStringLiteral("L")},
        {QStringLiteral("RR"), QStringLiteral("SR"), QStringLiteral("BR"), QStringLiteral("R")},
        {QStringLiteral("C"), QStringLiteral("FC")},
        {QStringLiteral("SUB"), QStringLiteral("LFE"), QStringLiteral("L")},
        {QStringLiteral("SUB"), QStringLiteral("LFE"), QStringLiteral("R")},
        {QStringLiteral("SUB"), QStringLiteral("LFE")},
    };
    int group = -1;
    if (role < 16)
        group = role / 4; // front left, front right, rear left, rear right
    else if (role < kRoleOff)
        group = role - 12; // centre, left, right and single subwoofer
    if (group < 0) return -1;
    for (const QString& name : names[group])
        for (int k = 0; k < channels.size(); ++k)
            if (channels[k].compare(name, Qt::CaseInsensitive) == 0) return k;
    return -1;
}

ChannelBands Flat_Bands() {
    ChannelBands bands;
    for (int b = 0; b < kBands; ++b)
        bands[b] = BandSetting{kDefaultBandFreq[b], kGainFlat, 30};
    return bands;
}

double File_Peaks_Db(const std::vector<FileFilter>& filters, double f) {
    double db = 0;
    for (const FileFilter& filter : filters) {
        if (!filter.on || !filter.peaking || !filter.channels.isEmpty()) continue;
        // At and above half the sample rate a section means nothing; keep it finite.
        const double fc = std::min(filter.fc, 23000.0);
        // Below this a peaking filter is a plain gain change; it keeps the sums finite.
        const double q = std::max(filter.q, 0.001);
        db += Peaking_Db(filter.gain, fc, q, f);
    }
    return db;
}

double Bands_Db(const ChannelBands& bands, double f) {
    double db = 0;
    for (const BandSetting& b : bands)
        db += Peaking_Db((b.gain - kGainFlat) / 10.0, b.freq, b.q / 10.0, f);
    return db;
}

FilterFit Fit_Filters(const FilterFile& file) {
    FilterFit fit;
    std::vector<const FileFilter*> chosen;
    for (const FileFilter& f : file.filters) {
        if (!f.channels.isEmpty())
            continue; // another channel's: Filter_File_For takes the file apart first
        if (!f.on)
            fit.skipped.push_back({f.line, f.type, FilterSkip::Why::Off});
        else if (!f.peaking)
            fit.skipped.push_back({f.line, f.type, FilterSkip::Why::Unsupported});
        else if (chosen.size() >= static_cast<size_t>(kBands))
            fit.skipped.push_back({f.line, f.type, FilterSkip::Why::TooMany});
        else
            chosen.push_back(&f);
    }

    struct Fitted {
        int line;
        BandSetting band;
    };
    std::vector<Fitted> fitted;
    for (const FileFilter* f : chosen) {
        using Field = FilterClamp::Field;
        const double fc = Clamp_Note(f->fc, kFreqMin, kFreqMax, f->line, Field::Freq, fit.clamps);
        const double gain = Clamp_Note(f->gain, -12.0, 12.0, f->line, Field::Gain, fit.clamps);
        const double q = Clamp_Note(f->q, 0.4, 10.0, f->line, Field::Q, fit.clamps);
        BandSetting b;
        b.freq = static_cast<uint16_t>(std::lround(fc));
        b.gain = static_cast<uint16_t>(std::lround(gain * 10.0) + kGainFlat);
        b.q = static_cast<uint8_t>(std::lround(q * 10.0));
        fitted.push_back({f->line, b});
    }
    std::stable_sort(fitted.begin(), fitted.end(),
                     [](const Fitted& a, const Fitted& b) { return a.band.freq < b.band.freq; });
    std::vector<double> freqs;
    for (const Fitted& f : fitted)
        freqs.push_back(f.band.freq);
    const std::vector<int> chosenBands = Choose_Bands(freqs);
    for (size_t k = 0; k < fitted.size(); ++k) {
        fit.bands[chosenBands[k]] = fitted[k].band;
        fit.bandLine[chosenBands[k]] = fitted[k].line;
    }
    fit.applied = static_cast<int>(fitted.size());

    fit.worstDb = -1;
    for (int k = 0; k < kFitPoints; ++k) {
        const double f = 20.0 * std::pow(1000.0, k / double(kFitPoints - 1));
        const double d = std::fabs(File_Peaks_Db(file.filters, f) - Bands_Db(fit.bands, f));
        if (d > fit.worstDb) fit.worstDb = d, fit.worstFreq = f;
    }
    return fit;
}

QString Filter_Import_Summary(const FilterFile& file, const FilterFit& fit, int ch, bool en) {
    constexpr int kListed = 8; // items per list; the rest are counted
    QStringList out;
    if (fit.applied == 0)
        out << tr2(txt::FilterNothingToImport, en);
    else
        out << (en ? QStringLiteral("CH%1: %2 peaking filter%3 set into the EQ bands; the other "
                                    "bands are flat.")
                         .arg(ch + 1)
                         .arg(fit.applied)
                         .arg(fit.applied == 1 ? QString() : QStringLiteral("s"))
                   : QStringLiteral("CH%1：已将 %2 个峰值滤波器设置到均衡频段，其余频段为平直。")
                         .arg(ch + 1)
                         .arg(fit.applied));
    if (!file.channel.isEmpty()) out << Fill_Text(txt::FilterChannelTaken, {file.channel}).in(en);
    if (file.hasPreamp)
        out << (en ? QStringLiteral("Preamp %1 dB in the file: not applied.")
                   : QStringLiteral("文件中的前级增益 %1 dB：未应用。"))
                   .arg(QString::number(file.preamp, 'f', 1));

    if (!fit.clamps.empty()) {
        QStringList items;
        for (const FilterClamp& c : fit.clamps) {
            if (items.size() == kListed) break;
            const bool freq = c.field == FilterClamp::Field::Freq;
            const bool gain = c.field == FilterClamp::Field::Gain;
            const QString what = freq ? (en ? QStringLiteral("frequency") : QStringLiteral("频率"))
                                 : gain ? (en ? QStringLiteral("gain") : QStringLiteral("增益"))
                                        : QStringLiteral("Q");
            const QString unit = freq   ? QStringLiteral(" Hz")
                                 : gain ? QStringLiteral(" dB")
                                        : QString();
            const int decimals = freq ? 0 : gain ? 1 : 2;
            items << (en ? QStringLiteral("line %1 %2 %3 → %4")
                         : QStringLiteral("第%1行 %2 %3 → %4"))
                         .arg(c.line)
                         .arg(what)
                         .arg(QString::number(c.from, 'f', decimals) + unit)
                         .arg(QString::number(c.to, 'f', decimals) + unit);
        }
        if (fit.clamps.size() > static_cast<size_t>(kListed))
            items << (en ? QStringLiteral("%1 more") : QStringLiteral("另有 %1 项"))
                         .arg(fit.clamps.size() - kListed);
        out << (en ? QStringLiteral("Limited to the unit's range: ")
                   : QStringLiteral("超出范围已限制：")) +
                   items.join(en ? QStringLiteral("; ") : QStringLiteral("；"));
    }

    if (!fit.skipped.empty()) {
        QStringList items;
        for (const FilterSkip& s : fit.skipped) {
            if (items.size() == kListed) break;
            QString why;
            switch (s.why) {
            case FilterSkip::Why::Off:
                why = en ? QStringLiteral("switched off") : QStringLiteral("已关闭");
                break;
            case FilterSkip::Why::Unsupported:
                why = en ? QStringLiteral("type not supported") : QStringLiteral("不支持的类型");
                break;
            case FilterSkip::Why::TooMany:
                why = en ? QStringLiteral("more than 31 peaking filters")
                         : QStringLiteral("峰值滤波器超过31个");
                break;
            }
            items << (en ? QStringLiteral("line %1 %2 (%3)") : QStringLiteral("第%1行 %2（%3）"))
                         .arg(s.line)
                         .arg(withControlsEscaped(s.type), why);
        }
        if (fit.skipped.size() > static_cast<size_t>(kListed))
            items << (en ? QStringLiteral("%1 more") : QStringLiteral("另有 %1 项"))
                         .arg(fit.skipped.size() - kListed);
        out << (en ? QStringLiteral("Not applied: ") : QStringLiteral("未应用：")) +
                   items.join(en ? QStringLiteral("; ") : QStringLiteral("；"));
    }

    if (fit.applied == 0) return out.join(QLatin1Char('\n'));
    out << (en ? QStringLiteral("Largest difference from the file's peaking filters: %1 dB at %2.")
               : QStringLiteral("与文件峰值滤波器响应的最大差异：%1 dB，位于 %2。"))
               .arg(QString::number(fit.worstDb, 'f', 1), Freq_Text(fit.worstFreq));
    return out.join(QLatin1Char('\n'));
}

} // namespace tarn
