// The projection of many detail points at once: for the network computation
// and for a point list being imported. The projections are independent of
// one another and, for large networks, shared between two threads.

#include "project/Document.h"

#include "geodesy/Geoid.h"
#include "network/PointTables.h"
#include "project/Dialogs.h"

#include <algorithm>
#include <thread>

namespace korthal {

namespace {

// Runs work(from, to) over [0, n): for large n the second half on a second
// thread.
template <class Work>
void inTwoHalves(std::size_t n, Work work)
{
    constexpr std::size_t kTwoThreadsFrom = 4096;
    if (n >= kTwoThreadsFrom && std::thread::hardware_concurrency() > 1) {
        const std::size_t half = n / 2;
        std::thread helper([&] { work(half, n); });
        work(0, half);
        helper.join();
    } else {
        work(0, n);
    }
}

}  // namespace

void Document::checkProjections() const
{
    const InputForm form = inputForm();
    const ShiftTriple shift = shifts_(WGS84, EGSA87);
    const bool hepos = heposModel();
    if (form != projectedForm_ || shift.dX != projectedShift_.dX ||
        shift.dY != projectedShift_.dY || shift.dZ != projectedShift_.dZ ||
        hepos != projectedHepos_) {
        projected_.clear();
        projectedForm_ = form;
        projectedShift_ = shift;
        projectedHepos_ = hepos;
    }
}

void Document::projectDetails(const std::vector<Rec>& recs, std::vector<TM87>& out,
                              std::vector<char>& outside) const
{
    const MemTable& g = *gps_;
    checkProjections();
    out.assign(recs.size(), TM87{});
    outside.assign(recs.size(), 0);
    Rec last = 0;
    for (Rec r : recs)
        last = std::max(last, r);
    if (!recs.empty() && last >= projected_.size())
        projected_.resize(static_cast<std::size_t>(last) + 1);
    std::vector<std::size_t> missing;  // positions in recs to compute
    for (std::size_t i = 0; i < recs.size(); ++i) {
        const Rec r = recs[i];
        const auto m = measurementOf(g, r);
        if (!m)
            continue;  // not measured: no position
        const double X = m->a, Y = m->b, Z = m->c;
        const double u = g.getFloat(r, gps::apoxh);
        Projected& p = projected_[r];
        if (p.valid && p.X == X && p.Y == Y && p.Z == Z && p.apoxh == u) {
            out[i] = p.t;
            outside[i] = p.outside;
            continue;
        }
        p.X = X, p.Y = Y, p.Z = Z, p.apoxh = u;
        p.valid = true;
        missing.push_back(i);
    }
    inTwoHalves(missing.size(), [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k) {
            const std::size_t i = missing[k];
            Projected& p = projected_[recs[i]];
            p.t = projectWGS84(p.X, p.Y, p.Z, p.apoxh, p.outside);
            out[i] = p.t;
            outside[i] = p.outside;
        }
    });
}

// What entering each point did one by one: E, N, H under the transformation
// in force, φ, λ of them for the geoid undulation, and E, N, H again with
// that undulation. Only the height depends on the undulation, so the
// projection is made once and its height (h, the undulation being 0) taken
// down by the undulation, which is exactly what a second projection gives.
void Document::computeImported(std::vector<ImportedDetail>& points) const
{
    checkProjections();
    inTwoHalves(points.size(), [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            ImportedDetail& d = points[i];
            const TM87 h = projectWGS84(d.X, d.Y, d.Z, 0, d.outsideGrid);
            if (d.outsideGrid)
                continue;  // no position: E, N, H and the undulation stay 0
            TM87 t = h;
            t.H = h.H - Extended(d.apoxh);
            tr_.ApplyTransformation(t.E, t.N, t.H);
            FootpointCheck check;
            const Geographic p = TM87ToEllipsoidal<Extended>(
                static_cast<double>(t.E), static_cast<double>(t.N), static_cast<double>(t.H), 0, &check);
            d.noConvergence = !check.converged;
            d.undulation = GeoidUndulation(shifts_, static_cast<double>(p.phi), static_cast<double>(p.lambda));
            d.projected = h;
            if (d.undulation)
                d.projected.H = h.H - Extended(*d.undulation);
            else
                d.projected.H = h.H - Extended(d.apoxh);
            t = d.projected;
            tr_.ApplyTransformation(t.E, t.N, t.H);
            d.E = static_cast<double>(t.E);
            d.N = static_cast<double>(t.N);
            d.H = static_cast<double>(t.H);
        }
    });
    // Kept for the network computation that follows the import.
    Rec last = 0;
    for (const ImportedDetail& d : points)
        last = std::max(last, d.rec);
    if (!points.empty() && last >= projected_.size())
        projected_.resize(static_cast<std::size_t>(last) + 1);
    for (const ImportedDetail& d : points) {
        Projected& p = projected_[d.rec];
        p.X = d.X, p.Y = d.Y, p.Z = d.Z;
        p.apoxh = d.undulation ? *d.undulation : d.apoxh;
        p.t = d.projected;
        p.outside = d.outsideGrid;
        p.valid = true;
    }
}

}  // namespace korthal
