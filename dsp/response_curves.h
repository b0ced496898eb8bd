// The response curves the graph draws, with one owner: per channel the EQ, high-pass and low-pass
// rows in dB on the 128-point grid and the polyline on the base scale, the curve as drawn (the
// grid refined wherever a straight line between its points would stray from the exact response,
// e.g. around a narrow band), the crossover marker and
// line of the channel last placed, and notes of the image bytes each row was computed from. The
// notes keep every channel's curve equal to its fields in the mirror, whichever path changed them
// (read-back, scene load, link copies, role presets, undo): the painter asks before it draws, and
// only the rows whose fields differ from their notes are computed again.
// Reads the image and never writes it; no widgets.
#pragma once

#include "dsp/response.h"
#include "model/param_image.h"

#include <QLine>
#include <QPoint>
#include <array>
#include <cstdint>
#include <vector>

namespace tarn {

class ResponseCurves {
  public:
    using Row = std::array<double, kCurvePoints>;
    using Points = std::array<QPoint, kCurvePoints>;
    struct CurvePoint {
        double freq; // Hz
        double db;
    };
    using Curve = std::vector<CurvePoint>;
    // Between two neighbouring points of a drawn curve, a straight line (in log frequency) stays
    // within this of the exact level at the quarter, middle and three-quarter points; the line is
    // then within 0.1 dB of it everywhere.
    static constexpr double kDrawnTolerance = 0.05;

    ResponseCurves() { init(); }

    // Builds the grid, zeroes every row, puts every polyline on the 0 dB line and the crossover
    // lines at their start-up places (x 66 and 666), and forgets every note.
    void init();

    // Recomputes channel ch's EQ row from its band gains, frequencies and Q.
    void eqCalc(uint8_t ch);
    // Records the crossover marker and line for the channel's corner frequency, then recomputes
    // its high-pass (highPass) or low-pass row.
    void crossoverCalc(uint8_t ch, bool highPass);
    // The high-pass or low-pass row of channel ch alone (all zero while the filter is OFF): moves
    // no marker and no line, so any channel, not only the edited one, can be brought up to date.
    void crossoverRowCalc(uint8_t ch, bool highPass);
    // y of channel ch's polyline from its three rows, and its drawn curve.
    void pointsUpdate(uint8_t ch);
    // Brings channel ch's rows and polyline up to date with the mirror. Returns whether anything
    // had to be recomputed. Moves no marker.
    bool current(uint8_t ch);

    // Puts levels at grid point i of channel ch's rows as a computation would, leaving the notes
    // alone: the polyline's rounding can then be checked on exact values.
    void setLevels(uint8_t ch, int i, double eqDb, double hpfDb, double lpfDb);

    // Frequency of grid point i (Grid_Freq).
    double freq(int i) const { return freq_[static_cast<size_t>(i)]; }
    const Row& eq(uint8_t ch) const { return eq_[ch]; }
    const Row& hpf(uint8_t ch) const { return hpf_[ch]; }
    const Row& lpf(uint8_t ch) const { return lpf_[ch]; }
    const Points& points(uint8_t ch) const { return points_[ch]; }
    // Channel ch's curve in dB at grid point i, from its rows as they stand.
    double db(uint8_t ch, int i) const {
        const auto k = static_cast<size_t>(i);
        return eq_[ch][k] + hpf_[ch][k] + lpf_[ch][k];
    }
    // Channel ch's level at f Hz, computed at f itself from the sections and filters its rows
    // were last computed from.
    double levelAt(uint8_t ch, double f) const;
    // Channel ch's curve as it is drawn, 20 Hz to 20 kHz by rising frequency: every grid point
    // (at its row's level), every band centre and crossover corner in that range, and points
    // between wherever the straight line would stray from the exact level.
    const Curve& drawn(uint8_t ch) const { return drawn_[ch]; }
    // Where the drawn curve lies at coordinate x of the scale: straight between its points, as
    // the polyline is drawn.
    double dbAtX(const GraphScale& scale, uint8_t ch, double x) const;
    // The crossover marker's left edge and its dotted line on the corner's column, from y 50 to
    // 238, as crossoverCalc last recorded them.
    int markerX(bool highPass) const { return highPass ? hpfMarkerX_ : lpfMarkerX_; }
    QLine line(bool highPass) const { return highPass ? hpfLine_ : lpfLine_; }

  private:
    // The bytes a row is computed from: the three EQ arrays of a channel, or one filter's four
    // fields.
    using EqKey = std::array<uint8_t, kBands*(2 + 2 + 1)>;
    using FilterKey = std::array<uint8_t, 2 + 1 + 1 + 1>;
    struct ChannelNotes {
        bool eqValid = false, hpfValid = false, lpfValid = false;
        bool pointsStale = true; // a row changed after the polyline was last built
        EqKey eq{};
        FilterKey hpf{};
        FilterKey lpf{};
    };
    static EqKey eqKey(uint8_t ch);
    static FilterKey filterKey(bool highPass, uint8_t ch);
    void refine(uint8_t ch, const CurvePoint& a, const CurvePoint& b, const CurvePoint& mid,
                int depth);

    // What a channel's rows were computed from: its non-flat band sections with their centres,
    // and each crossover filter.
    struct Corner {
        bool on = false;
        int type = 0;
        int order = 1;
        double fc = 1000.0;
    };
    // |H|^2 of a band section as (n0 + n1 cos w + n2 cos 2w) / (d0 + d1 cos w + d2 cos 2w).
    struct PowerTerms {
        double n0, n1, n2, d0, d1, d2;
    };
    struct Model {
        std::array<PowerTerms, kEqSections> sections{};
        std::array<double, kEqSections> centres{};
        int count = 0;
        Corner hpf, lpf;
    };

    Row freq_{};
    // cos(w) and cos(2w) of every grid point, for the band sections.
    Row cos_{};
    Row cos2_{};
    std::array<Row, kCurveChannels> eq_{};
    std::array<Row, kCurveChannels> hpf_{};
    std::array<Row, kCurveChannels> lpf_{};
    std::array<Points, kCurveChannels> points_{};
    std::array<Model, kCurveChannels> models_{};
    std::array<Curve, kCurveChannels> drawn_{};
    std::array<ChannelNotes, kCurveChannels> notes_{};
    int hpfMarkerX_ = 300;
    int lpfMarkerX_ = 1000;
    QLine hpfLine_;
    QLine lpfLine_;
};

} // namespace tarn
