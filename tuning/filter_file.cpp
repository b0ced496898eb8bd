#include "tuning/filter_file.h"

#include "graph/grid.h"
#include "graph/response.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tarn {

namespace {

constexpr int kFitPoints = 256; // log grid, 20 Hz..20 kHz, for the largest difference

// A number as written, with a unit glued to it or a decimal comma.
bool Read_Number(QString token, const char* unit, double& out) {
    if (unit && token.endsWith(QLatin1String(unit), Qt::CaseInsensitive))
        token.chop(static_cast<int>(qstrlen(unit)));
    token.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    out = token.toDouble(&ok);
    return ok && std::isfinite(out);
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
    f.peaking = type.size() == 1 && (Is(type[0], "PK") || Is(type[0], "PEQ"));
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

} // namespace

FilterFile Read_Filter_File(const QByteArray& text) {
    static const QRegularExpression filterHead(QStringLiteral("^Filter\\s*\\d*\\s*:"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression preampHead(QStringLiteral("^Preamp\\s*:"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    FilterFile out;
    bool anyFilterLine = false;
    int lineNo = 0;
    for (const QByteArray& raw : text.split('\n')) {
        ++lineNo;
        QString line = QString::fromUtf8(raw).trimmed();
        if (lineNo == 1 && line.startsWith(QChar(0xFEFF))) line = line.mid(1).trimmed();
        if (line.isEmpty() || line[0] == QLatin1Char('#') || line[0] == QLatin1Char('*')) continue;
        const QRegularExpressionMatch filter = filterHead.match(line);
        const QRegularExpressionMatch preamp = preampHead.match(line);
        bool read = true;
        if (filter.hasMatch()) {
            anyFilterLine = true;
            const QStringList t = line.mid(filter.capturedEnd()).split(spaces, Qt::SkipEmptyParts);
            FileFilter f;
            f.line = lineNo;
            read = Read_Filter(t, f);
            if (read && !Is(f.type, "None")) out.filters.push_back(f);
        } else if (preamp.hasMatch()) {
            QStringList t = line.mid(preamp.capturedEnd()).split(spaces, Qt::SkipEmptyParts);
            if (t.size() == 2 && Is(t[1], "dB")) t.removeLast();
            read = t.size() == 1 && Read_Number(t[0], "dB", out.preamp) &&
                   std::fabs(out.preamp) <= 100.0;
            out.hasPreamp = read;
        } else if (!Starts_With_Letter(line)) {
            read = false; // numbers or bytes where a header, a filter or a preamp line belongs
        }
        if (!read) {
            out.badLine = lineNo;
            out.filters.clear();
            out.hasPreamp = false;
            return out;
        }
    }
    out.ok = anyFilterLine;
    return out;
}

ChannelBands Flat_Bands() {
    ChannelBands bands;
    for (int b = 0; b < kBands; ++b)
        bands[b] = BandSetting{kDefaultBandFreq[b], kGainFlat, 30};
    return bands;
}

double File_Peaks_Db(const std::vector<FileFilter>& filters, double f) {
    double cw, c2w;
    Eval_Cos(f, cw, c2w);
    double db = 0;
    for (const FileFilter& filter : filters) {
        if (!filter.on || !filter.peaking) continue;
        // Above the curve's own half sample rate a section means nothing; keep it finite.
        const double fc = std::min(filter.fc, 23000.0);
        const double R = Section_Power(Peak_Section(filter.gain, fc, filter.q), cw, c2w);
        if (R > 0.0) db += 10.0 * std::log10(R);
    }
    return db;
}

double Bands_Db(const ChannelBands& bands, double f) {
    double cw, c2w;
    Eval_Cos(f, cw, c2w);
    double db = 0;
    for (const BandSetting& b : bands) {
        const double R = Section_Power(EQ_Band_Section(b.gain, b.freq, b.q), cw, c2w);
        if (R > 0.0) db += 10.0 * std::log10(R);
    }
    return db;
}

FilterFit Fit_Filters(const FilterFile& file) {
    FilterFit fit;
    std::vector<const FileFilter*> chosen;
    for (const FileFilter& f : file.filters) {
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
    out << (en ? QStringLiteral("CH%1: %2 peaking filter%3 set into the EQ bands; the other "
                                "bands are flat.")
                     .arg(ch + 1)
                     .arg(fit.applied)
                     .arg(fit.applied == 1 ? QString() : QStringLiteral("s"))
               : QStringLiteral("CH%1：已将 %2 个峰值滤波器设置到均衡频段，其余频段为平直。")
                     .arg(ch + 1)
                     .arg(fit.applied));
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
                         .arg(s.type, why);
        }
        if (fit.skipped.size() > static_cast<size_t>(kListed))
            items << (en ? QStringLiteral("%1 more") : QStringLiteral("另有 %1 项"))
                         .arg(fit.skipped.size() - kListed);
        out << (en ? QStringLiteral("Not applied: ") : QStringLiteral("未应用：")) +
                   items.join(en ? QStringLiteral("; ") : QStringLiteral("；"));
    }

    out << (en ? QStringLiteral("Largest difference from the file's peaking filters: %1 dB at %2.")
               : QStringLiteral("与文件峰值滤波器响应的最大差异：%1 dB，位于 %2。"))
               .arg(QString::number(fit.worstDb, 'f', 1), Freq_Text(fit.worstFreq));
    return out.join(QLatin1Char('\n'));
}

} // namespace tarn
