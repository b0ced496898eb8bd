#include "session/tune_diff.h"

#include "session/roles.h"
#include "session/tune_words.h"

#include <QByteArray>
#include <cstring>
#include <tuple>
#include <utility>

namespace tarn {

namespace {

using tune::Fill;
using tune::Same;
namespace words = tune::words;

BilingualText text(const Bilingual& w) {
    return {QString::fromUtf8(w.zh), QString::fromUtf8(w.en)};
}

class Differ {
  public:
    Differ(const ParamImage& a, const ParamImage& b) : a_(a), b_(b) {}

    TuneDiff result;

    // One entry when the field differs. Names and texts are made only then: most fields of two
    // tunes are equal, and building their texts would be most of the work.
    template <typename Get, typename Name, typename Show>
    void field(Get get, Name name, Show show) {
        if (get(a_) == get(b_)) return;
        const auto [id, label] = name();
        add(id, label, show(a_), show(b_));
    }

    void globals() {
        auto named = [](const char* key, const Bilingual& w) {
            return [key, w] { return std::make_pair(QString::fromLatin1(key), text(w)); };
        };
        field([](const ParamImage& p) { return p.Input_Source(); }, named("/input", words::Input),
              [](const ParamImage& p) { return tune::Input_Text(p.Input_Source()); });
        field([](const ParamImage& p) { return p.NoiseGate(); },
              named("/noise_gate", words::NoiseGate),
              [](const ParamImage& p) { return tune::Noise_Gate_Text(p.NoiseGate()); });
        field([](const ParamImage& p) { return p.Total_Vol(); },
              named("/master_level_db", words::Master),
              [](const ParamImage& p) { return tune::Level_Text(p.Total_Vol()); });
        field([](const ParamImage& p) { return p.FW_Version(); },
              named("/firmware_version", words::Firmware),
              [](const ParamImage& p) { return Same(QString::number(p.FW_Version())); });
    }

    void channel(int ch) {
        auto named = [ch](const char* key, const Bilingual& w) {
            return [ch, key, w] {
                return std::make_pair(
                    QStringLiteral("/channels/CH%1/%2").arg(ch + 1).arg(QLatin1String(key)),
                    tune::Channel_Field(ch, w));
            };
        };
        if (a_.CH_Name(ch) != b_.CH_Name(ch)) {
            const auto [id, label] = named("role", words::Role)();
            add(id, label, roleText(a_.CH_Name(ch)), roleText(b_.CH_Name(ch)));
            result.entries.back().beforeCode = a_.CH_Name(ch);
            result.entries.back().afterCode = b_.CH_Name(ch);
        }
        field([ch](const ParamImage& p) { return p.CH_Vol(ch); }, named("level_db", words::Level),
              [ch](const ParamImage& p) { return tune::Level_Text(p.CH_Vol(ch)); });
        field([ch](const ParamImage& p) { return p.CH_Mute(ch); }, named("mute", words::Mute),
              [ch](const ParamImage& p) { return tune::On_Off_Text(p.CH_Mute(ch)); });
        field([ch](const ParamImage& p) { return p.CH_Delay(ch); }, named("delay_ms", words::Delay),
              [ch](const ParamImage& p) { return tune::Delay_Text(p.CH_Delay(ch)); });
        field([ch](const ParamImage& p) { return p.CH_Phase(ch); },
              named("phase_inverted", words::Phase),
              [ch](const ParamImage& p) { return tune::Phase_Text(p.CH_Phase(ch)); });
        for (const auto& [key, w, f] :
             {std::make_tuple("high_pass", &tune::kHighPass, &kHpfFields),
              std::make_tuple("low_pass", &tune::kLowPass, &kLpfFields)}) {
            const FilterFields& fields = *f;
            field(
                [ch, &fields](const ParamImage& p) {
                    return std::make_tuple(p.filterType(fields, ch), p.filterSlope(fields, ch),
                                           p.filterFreq(fields, ch), p.filterOff(fields, ch));
                },
                named(key, w->whole),
                [ch, &fields](const ParamImage& p) {
                    return tune::Filter_Text(p.filterType(fields, ch), p.filterSlope(fields, ch),
                                             p.filterFreq(fields, ch), p.filterOff(fields, ch));
                });
        }
        field([ch](const ParamImage& p) { return p.EQ_Bypass(ch); },
              named("eq_bypass", words::Bypass),
              [ch](const ParamImage& p) { return tune::On_Off_Text(p.EQ_Bypass(ch)); });
        for (int b = 0; b < kBands; ++b) {
            field(
                [ch, b](const ParamImage& p) {
                    return std::make_tuple(p.EQ_Freq(ch, b), p.EQ_Gain(ch, b), p.EQ_Q(ch, b));
                },
                [ch, b] {
                    return std::make_pair(QStringLiteral("/channels/CH%1/eq/%2")
                                              .arg(ch + 1)
                                              .arg(b + 1, 2, 10, QLatin1Char('0')),
                                          tune::Band(ch, b));
                },
                [ch, b](const ParamImage& p) {
                    return tune::Band_Text(p.EQ_Freq(ch, b), p.EQ_Gain(ch, b), p.EQ_Q(ch, b));
                });
        }
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
    // A role by its name; a code with none by its number.
    static BilingualText roleText(int code) {
        if (code < kRoleCount) return text(Role_Name(static_cast<uint8_t>(code)));
        return Fill({"未知（%1）", "unknown (%1)"}, {Same(QString::number(code))});
    }

    void add(const QString& id, const BilingualText& label, const BilingualText& before,
             const BilingualText& after) {
        BilingualText line = Fill({"%1：%2 → %3", "%1: %2 → %3"}, {label, before, after});
        result.entries.push_back({id, label, before, after, std::move(line), {}, {}});
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
        if (size == 1)
            e.label = Fill({"保留字节 %1", "reserved byte %1"}, {Same(first)});
        else
            e.label = Fill({"保留字节 %1–%2", "reserved bytes %1–%2"}, {Same(first), Same(last)});
        // The line spaces the bytes, so that a long run can be read byte by byte.
        auto spaced = [offset, size](const ParamImage& p) {
            const QByteArray bytes(reinterpret_cast<const char*>(p.bytes().data()) + offset, size);
            return Same(QString::fromLatin1(bytes.toHex(' ').toUpper()));
        };
        e.line = Fill({"%1：%2 → %3", "%1: %2 → %3"}, {e.label, spaced(a_), spaced(b_)});
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
