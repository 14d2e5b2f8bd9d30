#include "network/SystemsCalculator.h"

#include "geodesy/Angles.h"
#include "geodesy/HattSheets.h"
#include "geodesy/TM87.h"
#include "network/ConvertChain.h"

#include <algorithm>
#include <cmath>

namespace korthal {

namespace {

using chain::Form;

Form formOf(SysGroup g)
{
    switch (g) {
    case SysGroup::HTRS07Geo: return chain::HTRS07Geo;
    case SysGroup::HTRS07Xyz: return chain::HTRS07Xyz;
    case SysGroup::TM07: return chain::TM07Proj;
    case SysGroup::TM3West: return chain::TM3West;
    case SysGroup::TM3Central: return chain::TM3Central;
    case SysGroup::TM3East: return chain::TM3East;
    case SysGroup::UTM34ED50: return chain::UTM34ED50;
    case SysGroup::UTM35ED50: return chain::UTM35ED50;
    case SysGroup::HattSheet: return chain::HattOkxe;
    case SysGroup::EGSA87TM87: return chain::TM87Proj;
    case SysGroup::EGSA87Geo: return chain::EGSA87Geo;
    case SysGroup::WGS84Geo: return chain::WGS84Geo;
    default: return chain::WGS84Xyz;
    }
}

// The groups that the HEPOS model reaches.
bool onHeposSide(SysGroup g)
{
    return g == SysGroup::HTRS07Geo || g == SysGroup::HTRS07Xyz || g == SysGroup::TM07;
}

constexpr SysGroupTitles kTitles[kSysGroupCount] = {
    {"HTRS07 ελλειψοειδείς  (φ, λ: DD.MMSSsss)", {"φ", "λ", "h"}},
    {"HTRS07 γεωκεντρικές", {"X", "Y", "Z"}},
    {"ΤΜ07", {"E", "N", "h"}},
    {"ΤΜ3 δυτική ζώνη", {"E", "N", "H"}},
    {"ΤΜ3 κεντρική ζώνη", {"E", "N", "H"}},
    {"ΤΜ3 ανατολική ζώνη", {"E", "N", "H"}},
    {"UTM ζώνη 34 (ED50)", {"E", "N", "H"}},
    {"UTM ζώνη 35 (ED50)", {"E", "N", "H"}},
    {"HATT φύλλου 1:50 000", {"x", "y", "H"}},
    {"ΤΜ87", {"E", "N", "H"}},
    {"ΕΓΣΑ87 ελλειψοειδείς GRS80  (φ, λ: DD.MMSSsss)", {"φ", "λ", "h"}},
    {"WGS84 ελλειψοειδείς  (φ, λ: DD.MMSSsss)", {"φ", "λ", "h"}},
    {"WGS84 γεωκεντρικές", {"X", "Y", "Z"}},
};

bool allFinite(const chain::ChainPoint<Extended>& p)
{
    return std::isfinite(static_cast<double>(p.a)) && std::isfinite(static_cast<double>(p.b)) &&
           std::isfinite(static_cast<double>(p.c));
}

}  // namespace

const char* const kOutsideHeposText =
    "Το σημείο βρίσκεται έξω από τον κάναβο διορθώσεων του μοντέλου HEPOS";
const char* const kNoSheetText = "Επιλέξτε πρώτα το φύλλο χάρτη HATT";

const SysGroupTitles& sysGroupTitles(SysGroup g)
{
    return kTitles[static_cast<std::size_t>(g)];
}

std::string farFromSheetText(const NumberText& text, double metres, int sheet)
{
    return "Το σημείο βρίσκεται " + text.formatFixed(metres / 1000, 1) +
           " km έξω από το φύλλο " + HattSheets::builtIn()[sheet].name;
}

std::vector<int> searchSheets(std::string_view query)
{
    const HattSheets& sheets = HattSheets::builtIn();
    const bool digits = !query.empty() && std::all_of(query.begin(), query.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    const std::string wanted = digits ? std::string(query) : simpleSpelling(query);
    // Rank 0: the whole name or number; 1: its beginning; 2: elsewhere in it.
    std::vector<std::pair<int, int>> ranked;
    for (int s = 0; s < static_cast<int>(sheets.size()); ++s) {
        const std::string in =
            digits ? std::to_string(sheets[s].number) : simpleSpelling(sheets[s].name);
        const std::size_t at = in.find(wanted);
        if (at == std::string::npos || (digits && at != 0))
            continue;
        ranked.emplace_back(in == wanted ? 0 : at == 0 ? 1 : 2, s);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> out;
    out.reserve(ranked.size());
    for (const auto& r : ranked)
        out.push_back(r.second);
    return out;
}

std::string sheetLabel(int sheet)
{
    const HattSheetRecord& r = HattSheets::builtIn()[sheet];
    return std::to_string(r.number) + "  " + r.name;
}

SystemsCalculator::SystemsCalculator(SystemsContext ctx) : ctx_(ctx) {}

bool SystemsCalculator::complete(SysGroup g) const
{
    const auto& t = texts_[ix(g)];
    return !t[0].empty() && !t[1].empty() && !t[2].empty();
}

void SystemsCalculator::clear()
{
    for (auto& group : texts_)
        group = {};
    found_ = -1;
}

int SystemsCalculator::decimalsOf(SysGroup g) const
{
    // Coordinates measured by GNSS with the network's decimals, map
    // coordinates with those of EGSA87, as on the first page.
    switch (g) {
    case SysGroup::HTRS07Geo:
    case SysGroup::HTRS07Xyz:
    case SysGroup::WGS84Geo:
    case SysGroup::WGS84Xyz:
        return ctx_.numbers->GPSDecimals[NumberDestination::Screen];
    default:
        return ctx_.numbers->EGSA87Decimals[NumberDestination::Screen];
    }
}

SysOutcome SystemsCalculator::convertFrom(SysGroup g)
{
    SysOutcome out;
    const Form from = formOf(g);
    Extended v[3];
    for (int k = 0; k < 3; ++k) {
        const NumberResult r = ctx_.text->readShown(text(g, k));
        if (!r) {
            out.messages.push_back(r.error);
            out.refusedGroup = g;
            out.refusedEdit = k;
            return out;
        }
        v[k] = r.value;
    }
    chain::ChainPoint<Extended> p{v[0], v[1], v[2], {}};
    if (chain::isGeographic(from)) {
        p.a = DMSToRad(p.a);
        p.b = DMSToRad(p.b);
    }
    chain::ConvertOptions o;
    o.shifts = *ctx_.shifts;
    if (g == SysGroup::HattSheet) {
        if (sheet() < 0) {
            out.messages.push_back(kNoSheetText);
            return out;
        }
        o.okxeSheets = {sheet()};
    } else if (chosen_ >= 0) {
        o.okxeSheets = {chosen_};
    }

    // Whether the HEPOS model takes the point: from its side to TM87, from
    // the other side to TM07. Outside its grid the model gives nothing, and
    // the groups beyond it stay empty.
    const bool heposSource = onHeposSide(g);
    const bool outsideHepos =
        chain::convertPoint(from, heposSource ? chain::TM87Proj : chain::TM07Proj, p, o).note ==
        chain::PointNote::OutsideHeposGrid;
    if (outsideHepos && heposSource) {
        out.messages.push_back(kOutsideHeposText);
        return out;
    }

    // Every other group by its own shortest way, as korthal-cli convert goes.
    std::array<chain::ChainPoint<Extended>, kSysGroupCount> result;
    std::array<bool, kSysGroupCount> reached{};
    const chain::ChainPoint<Extended>* far = nullptr;
    for (int k = 0; k < kSysGroupCount; ++k) {
        const auto to = static_cast<SysGroup>(k);
        if (to == g || (outsideHepos && onHeposSide(to)))
            continue;
        result[ix(to)] = chain::convertPoint(from, formOf(to), p, o);
        const auto& r = result[ix(to)];
        if (r.note == chain::PointNote::FarFromSheet && !far)
            far = &r;
        if (r.noConvergence && out.messages.empty()) out.messages.push_back(kMsgNoConvergence);
        reached[ix(to)] = allFinite(r);
    }

    for (int k = 0; k < kSysGroupCount; ++k) {
        const auto to = static_cast<SysGroup>(k);
        if (to == g)
            continue;
        auto& t = texts_[ix(to)];
        if (!reached[ix(to)]) {
            t = {};
            continue;
        }
        const auto& r = result[ix(to)];
        const int d = decimalsOf(to);
        if (chain::isGeographic(formOf(to))) {
            const int dms = ctx_.numbers->DMSDecimals[NumberDestination::Screen];
            t[0] = ctx_.text->formatPacked(RadToDMS(r.a), dms);
            t[1] = ctx_.text->formatPacked(RadToDMS(r.b), dms);
        } else {
            t[0] = ctx_.text->formatFixed(r.a, d);
            t[1] = ctx_.text->formatFixed(r.b, d);
        }
        t[2] = ctx_.text->formatFixed(r.c, d);
        if (to == SysGroup::HattSheet && r.okxe >= 0)
            found_ = r.okxe;
    }
    if (g == SysGroup::HattSheet)
        found_ = sheet();
    out.converted = true;
    if (outsideHepos)
        out.messages.push_back(kOutsideHeposText);
    if (far)
        out.messages.push_back(farFromSheetText(*ctx_.text, far->noteMetres, far->noteSheet));
    return out;
}

}  // namespace korthal
