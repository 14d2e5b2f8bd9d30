// The text of a correction grid (the HEPOS model's east.grd and north.grd).
// Properties:
//  - a text is either a whole grid or refused at a line of the text (or the
//    one after its last), with a reason;
//  - a grid has rows × columns nodes, at least 2 × 2;
//  - written again with its values and read back, it is the same grid;
//  - interpolated anywhere inside, a value between the four nodes around it,
//    and nothing outside.

#include "fuzz/FuzzSupport.h"
#include "geodesy/CorrectionGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using namespace korthal;

std::string written(const CorrectionGrid& g)
{
    char buf[64];
    std::string out;
    for (const double v :
         {double(g.rows()), double(g.columns()), g.spacing(), g.north0(), g.east0()}) {
        std::snprintf(buf, sizeof buf, "%.17g\n", v);
        out += buf;
    }
    for (int r = 0; r < g.rows(); ++r) {
        for (int c = 0; c < g.columns(); ++c) {
            std::snprintf(buf, sizeof buf, "%.17g ", g.node(r, c) * 100);
            out += buf;
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    GridReadError error;
    const auto grid = parseCorrectionGrid(text, error);
    if (!grid) {
        const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
        if (error.line < 1 || error.line > lines + 1 || error.reason.empty())
            fuzz::fuzzFail("a refusal names no line of the text: " + std::to_string(error.line));
        return 0;
    }
    const CorrectionGrid& g = *grid;
    if (g.rows() < 2 || g.columns() < 2 || !(g.spacing() > 0))
        fuzz::fuzzFail("a grid of fewer than 2 x 2 nodes or no spacing");

    const std::string again = written(g);
    const auto back = parseCorrectionGrid(again, error);
    if (!back || !back->sameLayout(g))
        fuzz::fuzzFail("a grid written again does not read back", again, error.reason);
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.columns(); ++c)
            if (std::fabs(back->node(r, c) - g.node(r, c)) >
                1e-12 * std::fabs(g.node(r, c)) + 1e-300)
                fuzz::fuzzFail("a node reads back otherwise", again);

    // Points at fractions of the grid given by the last bytes.
    for (std::size_t k = 0; k + 1 < size && k < 16; k += 2) {
        const double fx = data[size - 1 - k] / 200.0 - 0.1, fy = data[size - 2 - k] / 200.0 - 0.1;
        const double E = g.east0() + fx * g.spacing() * (g.columns() - 1);
        const double N = g.north0() + fy * g.spacing() * (g.rows() - 1);
        const auto cell = g.locate<double>(E, N);
        // Where the rounding of E and N cannot decide, the property is not asked.
        const bool plain = std::fabs(g.east0()) + std::fabs(g.north0()) < 1e12 &&
                           g.spacing() > 1e-3 && g.spacing() < 1e9;
        const auto clear = [](double f) { return (f > 0.01 && f < 0.99) || f < -0.01 || f > 1.01; };
        const bool within = fx >= 0 && fx <= 1 && fy >= 0 && fy <= 1;
        if (plain && clear(fx) && clear(fy) && cell.inside != within)
            fuzz::fuzzFail("a point inside the grid is refused, or one outside taken");
        if (!cell.inside)
            continue;
        const double v = g.interpolate(cell);
        const double a = g.node(cell.row, cell.column), b = g.node(cell.row, cell.column + 1);
        const double c = g.node(cell.row + 1, cell.column),
                     d = g.node(cell.row + 1, cell.column + 1);
        const double lo = std::min({a, b, c, d}), hi = std::max({a, b, c, d});
        const double slack = 1e-12 * std::max(std::fabs(lo), std::fabs(hi));
        if (std::isfinite(v) && (v < lo - slack || v > hi + slack))
            fuzz::fuzzFail("an interpolated value beyond its four nodes");
    }
    return 0;
}
