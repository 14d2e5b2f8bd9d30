#include "views/RinexQuality.h"

#include "views/RinexSeries.h"
#include "views/RinexTable.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace korthal::rinex {

namespace {

constexpr double kF1 = 1575.42e6, kF2 = 1227.60e6;  // Hz
constexpr double kAlpha = (kF1 / kF2) * (kF1 / kF2);
constexpr double kWideLane = gnss::kSpeedOfLight / (kF1 - kF2);  // m
// The geometry-free phase may move this much between epochs from the
// ionosphere alone: a base for noise and multipath, and a rate that covers
// an active ionosphere (metres, metres per second).
constexpr double kGeometryFreeBase = 0.08;
constexpr double kGeometryFreeRate = 0.0015;
constexpr double kWideLaneMinimum = 4.0;  // cycles
constexpr int kMinArc = 5;
// Sky tracks keep a point where the satellite moved this far (degrees).
constexpr double kTrackStep = 0.5;
constexpr double kDegree = 3.14159265358979323846 / 180.0;
// The orbit is looked at this often for the expected epochs (seconds, at
// least the interval).
constexpr double kExpectedStep = 30.0;

struct Sample {
    double t = 0;
    std::int32_t epoch = 0;
    double code1 = 0, code2 = 0, l1 = 0, l2 = 0;  // m, m, cycles, cycles
    int lli1 = 0, lli2 = 0;
    std::uint8_t snr1 = 0, snr2 = 0;
    bool hasLook = false;
    float az = 0, el = 0;
};

double value(const MemTable& t, Rec r, int field) { return t.getFloat(r, field); }

std::uint8_t strengthOf(const MemTable& t, Rec r, int phase, int code1, int code2)
{
    for (int f : {phase, code1, code2}) {
        const long long s = t.getInteger(r, f + 2);
        if (s >= 1 && s <= 9 && t.getFloat(r, f) != 0)
            return static_cast<std::uint8_t>(s);
    }
    return 0;
}

Sample sampleOf(const MemTable& t, Rec r, double time)
{
    Sample s;
    s.t = time;
    const double p1 = value(t, r, rnx::P1), p2 = value(t, r, rnx::P2);
    s.code1 = p1 != 0 ? p1 : value(t, r, rnx::C1);
    s.code2 = p2 != 0 ? p2 : value(t, r, rnx::C2);
    s.l1 = value(t, r, rnx::L1);
    s.l2 = value(t, r, rnx::L2);
    s.lli1 = static_cast<int>(t.getInteger(r, rnx::L1LLI));
    s.lli2 = static_cast<int>(t.getInteger(r, rnx::L2LLI));
    s.snr1 = strengthOf(t, r, rnx::L1, rnx::P1, rnx::C1);
    s.snr2 = strengthOf(t, r, rnx::L2, rnx::P2, rnx::C2);
    return s;
}

// The sum of squared deviations from the mean of one arc, gathered about the
// arc's first value (the combinations hold the ambiguities, some 10⁷ m, and
// their scatter is centimetres).
struct ArcSum {
    double first = 0, s = 0, ss = 0;
    std::int64_t n = 0;
    void add(double v)
    {
        if (n == 0)
            first = v;
        const double d = v - first;
        s += d, ss += d * d, ++n;
    }
    // Closes the arc into the satellite's totals.
    void close(double& squares, std::int64_t& count)
    {
        if (n >= kMinArc) {
            squares += std::max(0.0, ss - s * s / static_cast<double>(n));
            count += n;
        }
        *this = ArcSum();
    }
};

// Running mean and scatter of the wide-lane combination (Welford).
struct RunningMean {
    double mean = 0, m2 = 0;
    std::int64_t n = 0;
    void add(double v)
    {
        ++n;
        const double d = v - mean;
        mean += d / static_cast<double>(n);
        m2 += d * (v - mean);
    }
    double sigma() const { return n >= 3 ? std::sqrt(m2 / static_cast<double>(n - 1)) : 0.0; }
};

double geometryFree(const Sample& s) { return kWavelengthL1 * s.l1 - kWavelengthL2 * s.l2; }

bool hasWideLane(const Sample& s) { return s.l1 != 0 && s.l2 != 0 && s.code1 != 0 && s.code2 != 0; }

double wideLaneCycles(const Sample& s)
{
    const double phase = (kF1 * kWavelengthL1 * s.l1 - kF2 * kWavelengthL2 * s.l2) / (kF1 - kF2);
    const double code = (kF1 * s.code1 + kF2 * s.code2) / (kF1 + kF2);
    return (phase - code) / kWideLane;
}

double mp1Of(const Sample& s)
{
    const double k = 2.0 / (kAlpha - 1.0);
    return s.code1 - (1.0 + k) * kWavelengthL1 * s.l1 + k * kWavelengthL2 * s.l2;
}

double mp2Of(const Sample& s)
{
    const double k = 2.0 * kAlpha / (kAlpha - 1.0);
    return s.code2 - k * kWavelengthL1 * s.l1 + (k - 1.0) * kWavelengthL2 * s.l2;
}

struct Totals {
    double squares = 0;
    std::int64_t count = 0;
};

void finishRms(Measure& m, const Totals& t)
{
    m.count = t.count;
    m.value = t.count > 0 ? std::sqrt(t.squares / static_cast<double>(t.count)) : 0.0;
}

// The slips, multipath and strength of one satellite from its samples in
// time order (those below the mask left out by `used`).
class SatelliteWalk {
public:
    SatelliteWalk(const QualityReport& report, const std::vector<char>& powerFailure,
                  SatelliteQuality& q, std::vector<CycleSlip>& slips)
        : report_(report), powerFailure_(powerFailure), q_(q), slips_(slips)
    {
    }

    void run(const std::vector<Sample>& samples, const std::vector<char>& used)
    {
        const Sample* prev = nullptr;
        double snr1 = 0, snr2 = 0;
        for (std::size_t k = 0; k < samples.size(); ++k) {
            if (!used[k])
                continue;
            const Sample& s = samples[k];
            if (s.snr1)
                snr1 += s.snr1, ++q_.snr1.count;
            if (s.snr2)
                snr2 += s.snr2, ++q_.snr2.count;
            if (s.l1 == 0) {
                continue;  // no phase: nothing to follow
            }
            const bool gap = !prev || s.t - prev->t > 1.5 * report_.interval + 1e-3 ||
                             powerFailure_[static_cast<std::size_t>(s.epoch)];
            if (gap) {
                closeArc();
            } else if (const auto cause = slipBetween(*prev, s, samples, used, k)) {
                slips_.push_back({q_.prn, s.t, *cause});
                ++q_.slips;
                closeArc();
            }
            follow(s);
            prev = &s;
        }
        closeArc();
        q_.snr1.value = q_.snr1.count ? snr1 / static_cast<double>(q_.snr1.count) : 0.0;
        q_.snr2.value = q_.snr2.count ? snr2 / static_cast<double>(q_.snr2.count) : 0.0;
        finishRms(q_.mp1, mp1_);
        finishRms(q_.mp2, mp2_);
    }

    const Totals& mp1() const { return mp1_; }
    const Totals& mp2() const { return mp2_; }

private:
    std::optional<SlipCause> slipBetween(const Sample& prev, const Sample& s,
                                         const std::vector<Sample>& samples,
                                         const std::vector<char>& used, std::size_t k) const
    {
        if ((s.lli1 & 1) || (s.lli2 & 1))
            return SlipCause::LossOfLock;
        if (s.l2 != 0 && prev.l2 != 0) {
            const double dt = s.t - prev.t;
            if (std::fabs(geometryFree(s) - geometryFree(prev)) >
                kGeometryFreeBase + kGeometryFreeRate * dt)
                return SlipCause::GeometryFree;
        }
        if (hasWideLane(s) && wide_.n >= 1) {
            const double limit = std::max(4.0 * wide_.sigma(), kWideLaneMinimum);
            const double w = wideLaneCycles(s);
            if (std::fabs(w - wide_.mean) > limit) {
                // One bad code is no slip: the next epoch must stay off too.
                for (std::size_t j = k + 1; j < samples.size(); ++j) {
                    if (!used[j] || !hasWideLane(samples[j]))
                        continue;
                    const double next = wideLaneCycles(samples[j]);
                    if (samples[j].t - s.t <= 1.5 * report_.interval + 1e-3 &&
                        std::fabs(next - wide_.mean) > limit && std::fabs(next - w) <= limit)
                        return SlipCause::WideLane;
                    break;
                }
            }
        }
        return std::nullopt;
    }

    void follow(const Sample& s)
    {
        if (hasWideLane(s))
            wide_.add(wideLaneCycles(s));
        if (s.l2 != 0 && s.code1 != 0)
            arc1_.add(mp1Of(s));
        if (s.l2 != 0 && s.code2 != 0)
            arc2_.add(mp2Of(s));
    }

    void closeArc()
    {
        arc1_.close(mp1_.squares, mp1_.count);
        arc2_.close(mp2_.squares, mp2_.count);
        wide_ = RunningMean();
    }

    const QualityReport& report_;
    const std::vector<char>& powerFailure_;
    SatelliteQuality& q_;
    std::vector<CycleSlip>& slips_;
    ArcSum arc1_, arc2_;
    RunningMean wide_;
    Totals mp1_, mp2_;
};

double mostFrequentStep(const std::vector<double>& epochs)
{
    std::map<long long, std::int64_t> steps;  // milliseconds
    for (std::size_t i = 1; i < epochs.size(); ++i)
        ++steps[std::llround((epochs[i] - epochs[i - 1]) * 1000.0)];
    long long best = 0;
    std::int64_t count = 0;
    for (const auto& [ms, n] : steps)
        if (n > count && ms > 0)
            best = ms, count = n;
    return static_cast<double>(best) / 1000.0;
}

// Thins a satellite's look angles for drawing: a point where it moved
// kTrackStep degrees, where the strength changes, and the ends of each arc.
void addTrackPoints(SkyTrack& track, const std::vector<Sample>& samples, double interval)
{
    const Sample* kept = nullptr;
    const Sample* last = nullptr;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const Sample& s = samples[k];
        if (!s.hasLook)
            continue;
        const bool newArc = !last || s.t - last->t > 1.5 * interval + 1e-3;
        const std::size_t next = k + 1;
        const bool arcEnd = next >= samples.size() || !samples[next].hasLook ||
                            samples[next].t - s.t > 1.5 * interval + 1e-3;
        bool keep = newArc || arcEnd || s.snr1 != kept->snr1;
        if (!keep) {
            const double dEl = static_cast<double>(s.el - kept->el);
            double dAz = std::fabs(static_cast<double>(s.az - kept->az));
            dAz = std::min(dAz, 360.0 - dAz) * std::cos(static_cast<double>(s.el) * kDegree);
            keep = dEl * dEl + dAz * dAz >= kTrackStep * kTrackStep;
        }
        if (keep) {
            track.points.push_back({s.az, s.el, s.epoch, s.snr1, newArc});
            kept = &s;
        }
        last = &s;
    }
}

}  // namespace

const char* slipCauseName(SlipCause c)
{
    switch (c) {
    case SlipCause::LossOfLock: return "lli";
    case SlipCause::GeometryFree: return "gf";
    case SlipCause::WideLane: return "mw";
    }
    return "";
}

QualityReport computeQuality(const MemTable& t, const SkySource& source, double mask)
{
    QualityReport q;
    q.mask = mask;
    q.sky.mask = mask;

    // The records by satellite, and the epochs. Records of cycle-slip events
    // (flag 6) repeat observations of their epoch and are left out.
    std::vector<std::vector<Rec>> bySatellite(100);
    std::vector<double> powerFailures;
    double lastPushed = -1;
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r)) {
        const long long flag = t.getInteger(r, rnx::Health);
        const long long prn = t.getInteger(r, rnx::PRN);
        if (flag > 1 || prn < 1 || prn > 99)
            continue;
        const double time = recordTime(t, r);
        if (time != lastPushed)
            q.epochs.push_back(time), lastPushed = time;
        if (flag == 1)
            powerFailures.push_back(time);
        bySatellite[static_cast<std::size_t>(prn)].push_back(r);
    }
    std::sort(q.epochs.begin(), q.epochs.end());
    q.epochs.erase(std::unique(q.epochs.begin(), q.epochs.end()), q.epochs.end());
    const auto epochIndex = [&](double time) {
        return static_cast<std::int32_t>(
            std::lower_bound(q.epochs.begin(), q.epochs.end(), time) - q.epochs.begin());
    };
    std::vector<char> powerFailure(q.epochs.size(), 0);
    for (double time : powerFailures)
        powerFailure[static_cast<std::size_t>(epochIndex(time))] = 1;

    // Epochs present against expected, and the gaps.
    q.interval = mostFrequentStep(q.epochs);
    if (!q.epochs.empty()) {
        q.expectedEpochs = q.interval > 0
            ? std::llround((q.epochs.back() - q.epochs.front()) / q.interval) + 1
            : 1;
        q.completeness = std::min(100.0, 100.0 * static_cast<double>(q.epochs.size()) /
                                             static_cast<double>(q.expectedEpochs));
    }
    for (std::size_t i = 1; i < q.epochs.size() && q.interval > 0; ++i) {
        const double step = q.epochs[i] - q.epochs[i - 1];
        if (step > 1.5 * q.interval)
            q.gaps.push_back({q.epochs[i - 1], q.epochs[i], std::llround(step / q.interval) - 1});
    }

    // Can the sky be known?
    std::optional<SkyGeometry> sky;
    if (!source.ephemerides) {
        q.sky.reason = source.missingReason.empty()
            ? "Δεν δόθηκε αρχείο εφημερίδων (navigation)."
            : source.missingReason;
    } else if (source.ephemerides->empty()) {
        q.sky.reason = "Το αρχείο εφημερίδων \"" + source.navigationName +
                       "\" δεν έχει εφημερίδες GPS.";
    } else if (unusablePosition(source.position)) {
        q.sky.reason = "Δεν είναι γνωστή η θέση του σημείου (ούτε συντεταγμένες ούτε "
                       "προσεγγιστική θέση στην κεφαλίδα του αρχείου παρατηρήσεων).";
    } else {
        sky.emplace(*source.ephemerides, *source.position);
        q.sky.position = *source.position;
    }

    // Each satellite.
    Totals mp1, mp2;
    double snr1 = 0, snr2 = 0;
    std::int64_t looks = 0;
    std::vector<Sample> samples;
    std::vector<char> used;
    std::vector<SkyTrack> tracks;
    for (int prn = 1; prn <= 99; ++prn) {
        const std::vector<Rec>& recs = bySatellite[static_cast<std::size_t>(prn)];
        if (recs.empty())
            continue;
        samples.clear();
        for (Rec r : recs)
            samples.push_back(sampleOf(t, r, recordTime(t, r)));
        std::stable_sort(samples.begin(), samples.end(),
                         [](const Sample& a, const Sample& b) { return a.t < b.t; });
        samples.erase(std::unique(samples.begin(), samples.end(),
                                  [](const Sample& a, const Sample& b) { return a.t == b.t; }),
                      samples.end());
        SatelliteQuality s;
        s.prn = prn;
        s.observations = static_cast<std::int64_t>(samples.size());
        s.first = samples.front().t;
        s.last = samples.back().t;
        used.assign(samples.size(), 1);
        for (std::size_t k = 0; k < samples.size(); ++k) {
            Sample& x = samples[k];
            x.epoch = epochIndex(x.t);
            if (!sky)
                continue;
            if (const auto a = sky->look(prn, x.t)) {
                x.hasLook = true;
                x.az = static_cast<float>(a->azimuth);
                x.el = static_cast<float>(a->elevation);
                ++looks;
                const bool above = a->elevation >= mask;
                s.aboveMask += above ? 1 : 0;
                used[k] = above;
                if (!s.minElevation.known() || a->elevation < s.minElevation.value)
                    s.minElevation.value = a->elevation;
                if (!s.maxElevation.known() || a->elevation > s.maxElevation.value)
                    s.maxElevation.value = a->elevation;
                ++s.minElevation.count, ++s.maxElevation.count;
            }
        }
        SatelliteWalk walk(q, powerFailure, s, q.slips);
        walk.run(samples, used);
        mp1.squares += walk.mp1().squares, mp1.count += walk.mp1().count;
        mp2.squares += walk.mp2().squares, mp2.count += walk.mp2().count;
        snr1 += s.snr1.value * static_cast<double>(s.snr1.count);
        snr2 += s.snr2.value * static_cast<double>(s.snr2.count);
        q.snr1.count += s.snr1.count, q.snr2.count += s.snr2.count;
        q.observations += s.observations;
        if (sky) {
            SkyTrack track;
            track.prn = prn;
            addTrackPoints(track, samples, q.interval);
            if (!track.points.empty())
                tracks.push_back(std::move(track));
        }
        q.satellites.push_back(s);
    }
    finishRms(q.mp1, mp1);
    finishRms(q.mp2, mp2);
    q.snr1.value = q.snr1.count ? snr1 / static_cast<double>(q.snr1.count) : 0.0;
    q.snr2.value = q.snr2.count ? snr2 / static_cast<double>(q.snr2.count) : 0.0;
    std::sort(q.slips.begin(), q.slips.end(), [](const CycleSlip& a, const CycleSlip& b) {
        return a.time != b.time ? a.time < b.time : a.prn < b.prn;
    });

    if (sky && looks == 0 && !q.epochs.empty()) {
        // Ephemerides of another day, or none for these satellites.
        q.sky.reason = "Οι εφημερίδες του \"" + source.navigationName +
                       "\" δεν καλύπτουν τις παρατηρήσεις (" + formatGpsTime(q.epochs.front()) +
                       " έως " + formatGpsTime(q.epochs.back()) + ").";
        for (SatelliteQuality& s : q.satellites)
            s.aboveMask = 0;
        sky.reset();
    }
    if (!sky || q.epochs.empty()) {
        if (sky)
            q.sky.reason = "Ο πίνακας δεν έχει παρατηρήσεις GPS.";
        return q;
    }

    // The expected epochs above the mask by the orbit, and the satellites
    // that were up but never observed.
    q.sky.available = true;
    const double step = std::max(q.interval, kExpectedStep);
    const double scale = q.interval > 0 ? step / q.interval : 1.0;
    for (int prn : source.ephemerides->satellites()) {
        auto seen = std::find_if(q.satellites.begin(), q.satellites.end(),
                                 [prn](const SatelliteQuality& s) { return s.prn == prn; });
        SkyTrack predicted;
        predicted.prn = prn;
        predicted.tracked = false;
        std::int64_t up = 0;
        bool joined = false;
        for (double time = q.epochs.front(); time <= q.epochs.back() + 1e-6; time += step) {
            const auto a = sky->look(prn, time);
            if (!a || a->elevation < mask) {
                joined = false;
                continue;
            }
            ++up;
            if (seen == q.satellites.end())
                predicted.points.push_back({static_cast<float>(a->azimuth),
                                            static_cast<float>(a->elevation), epochIndex(time), 0,
                                            !joined});
            joined = true;
        }
        const std::int64_t expected = std::llround(static_cast<double>(up) * scale);
        if (seen != q.satellites.end()) {
            seen->expected = expected;
        } else if (up > 0) {
            q.notTracked.push_back(prn);
            tracks.push_back(std::move(predicted));
        }
    }
    q.sky.tracks = std::move(tracks);
    return q;
}

}  // namespace korthal::rinex
