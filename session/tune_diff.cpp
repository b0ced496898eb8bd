#include "session/tune_diff.h"

#include "session/tune_words.h"

#include <QByteArray>
#include <cstring>
#include <tuple>

namespace tarn {

namespace {

using tune::Fill;
using tune::Same;
namespace words = tune::words;

LangText text(const tune::Words& w) {
    return {QString::fromUtf8(w.zh), QString::fromUtf8(w.en)};
}

class Differ {
  public:
    Differ(const ParamImage& a, const ParamImage& b) : a_(a), b_(b) {}

    TuneDiff result;

    // One entry when the field's text differs; texts are made only for fields that differ.
    template <typename Get, typename Show>
    void field(const QString& id, const LangText& label, Get get, Show show) {
        if (get(a_) == get(b_)) return;
        add(id, label, show(a_), show(b_));
    }

    void globals() {
        field(
            QStringLiteral("/input"), text(words::Input),
            [](const ParamImage& p) { return p.Input_Source(); },
            [](const ParamImage& p) { return tune::Input_Text(p.Input_Source()); });
        field(
            QStringLiteral("/noise_gate"), text(words::NoiseGate),
            [](const ParamImage& p) { return p.NoiseGate(); },
            [](const ParamImage& p) { return tune::Noise_Gate_Text(p.NoiseGate()); });
        field(
            QStringLiteral("/master_level_db"), text(words::Master),
            [](const ParamImage& p) { return p.Total_Vol(); },
            [](const ParamImage& p) { return tune::Level_Text(p.Total_Vol()); });
        field(
            QStringLiteral("/firmware_version"), text(words::Firmware),
            [](const ParamImage& p) { return p.FW_Version(); },
            [](const ParamImage& p) { return Same(QString::number(p.FW_Version())); });
    }

    void channel(int ch) {
        const QString at = QStringLiteral("/channels/CH%1/").arg(ch + 1);
        field(
            at + QLatin1String("role"), tune::Channel_Field(ch, words::Role),
            [ch](const ParamImage& p) { return p.CH_Name(ch); },
            [ch](const ParamImage& p) { return Same(QString::number(p.CH_Name(ch))); });
        field(
            at + QLatin1String("level_db"), tune::Channel_Field(ch, words::Level),
            [ch](const ParamImage& p) { return p.CH_Vol(ch); },
            [ch](const ParamImage& p) { return tune::Level_Text(p.CH_Vol(ch)); });
        field(
            at + QLatin1String("mute"), tune::Channel_Field(ch, words::Mute),
            [ch](const ParamImage& p) { return p.CH_Mute(ch); },
            [ch](const ParamImage& p) { return tune::On_Off_Text(p.CH_Mute(ch)); });
        field(
            at + QLatin1String("delay_ms"), tune::Channel_Field(ch, words::Delay),
            [ch](const ParamImage& p) { return p.CH_Delay(ch); },
            [ch](const ParamImage& p) { return tune::Delay_Text(p.CH_Delay(ch)); });
        field(
            at + QLatin1String("phase_inverted"), tune::Channel_Field(ch, words::Phase),
            [ch](const ParamImage& p) { return p.CH_Phase(ch); },
            [ch](const ParamImage& p) { return tune::Phase_Text(p.CH_Phase(ch)); });
        filter(at + QLatin1String("high_pass"), ch, tune::kHighPass, kHpfFields);
        filter(at + QLatin1String("low_pass"), ch, tune::kLowPass, kLpfFields);
        field(
            at + QLatin1String("eq_bypass"), tune::Channel_Field(ch, words::Bypass),
            [ch](const ParamImage& p) { return p.EQ_Bypass(ch); },
            [ch](const ParamImage& p) { return tune::On_Off_Text(p.EQ_Bypass(ch)); });
        for (int b = 0; b < kBands; ++b) {
            field(
                at + QStringLiteral("eq/%1").arg(b + 1, 2, 10, QLatin1Char('0')), tune::Band(ch, b),
                [ch, b](const ParamImage& p) {
                    return std::make_tuple(p.EQ_Freq(ch, b), p.EQ_Gain(ch, b), p.EQ_Q(ch, b));
                },
                [ch, b](const ParamImage& p) {
                    return tune::Band_Text(p.EQ_Freq(ch, b), p.EQ_Gain(ch, b), p.EQ_Q(ch, b));
                });
        }
    }

    void filter(const QString& id, int ch, const tune::FilterWords& w, const FilterFields& f) {
        field(
            id, tune::Channel_Field(ch, w.whole),
            [ch, &f](const ParamImage& p) {
                return std::make_tuple(p.filterType(f, ch), p.filterSlope(f, ch),
                                       p.filterFreq(f, ch), p.filterOff(f, ch));
            },
            [ch, &f](const ParamImage& p) {
                return tune::Filter_Text(p.filterType(f, ch), p.filterSlope(f, ch),
                                         p.filterFreq(f, ch), p.filterOff(f, ch));
            });
    }

    void reserved() {
        const uint8_t* a = a_.bytes().data();
        const uint8_t* b = b_.bytes().data();
        for (const ByteRange& r : kReservedRanges) {
            if (std::memcmp(a + r.offset, b + r.offset, static_cast<size_t>(r.size)) == 0) continue;
            const int end = r.offset + r.size;
            for (int i = r.offset; i < end; ++i) {
                if (a[i] == b[i]) continue;
                int last = i;
                while (last + 1 < end && a[last + 1] != b[last + 1])
                    ++last;
                reservedRun(i, last - i + 1);
                i = last;
            }
        }
    }

  private:
    void add(const QString& id, const LangText& label, const LangText& before,
             const LangText& after) {
        const LangText line = Fill({"%1：%2 → %3", "%1: %2 → %3"}, {label, before, after});
        result.entries.push_back({id, label, before, after, line});
    }

    void reservedRun(int offset, int size) {
        auto hex = [offset, size](const ParamImage& p) {
            const QByteArray bytes(reinterpret_cast<const char*>(p.bytes().data()) + offset, size);
            return Same(QString::fromLatin1(bytes.toHex().toUpper()));
        };
        const QString first = tune::Hex_Offset(offset);
        const QString last = tune::Hex_Offset(offset + size - 1);
        TuneDiffEntry e;
        e.id =
            QStringLiteral("/reserved/") + first + (size > 1 ? QLatin1Char('-') + last : QString());
        e.before = hex(a_);
        e.after = hex(b_);
        if (size == 1) {
            e.label = Fill({"保留字节 %1", "reserved byte %1"}, {Same(first)});
            e.line = Fill({"%1 不同", "%1 differs"}, {e.label});
        } else {
            e.label = Fill({"保留字节 %1–%2", "reserved bytes %1–%2"}, {Same(first), Same(last)});
            e.line = Fill({"%1 不同", "%1 differ"}, {e.label});
        }
        result.entries.push_back(std::move(e));
    }

    const ParamImage& a_;
    const ParamImage& b_;
};

} // namespace

QStringList TuneDiff::lines(bool english) const {
    QStringList out;
    out.reserve(static_cast<int>(entries.size()));
    for (const TuneDiffEntry& e : entries)
        out << e.line.in(english);
    return out;
}

TuneDiff Diff_Scenes(const ParamImage::Bytes& before, const ParamImage::Bytes& after) {
    if (before == after) return {};
    ParamImage a;
    ParamImage b;
    a.bytes() = before;
    b.bytes() = after;
    Differ d(a, b);
    d.globals();
    for (int ch = 0; ch < kChannels; ++ch)
        d.channel(ch);
    d.reserved();
    return std::move(d.result);
}

} // namespace tarn
