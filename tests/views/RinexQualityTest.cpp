// The quality report of an observation table: counts against an independent
// count of the file, gaps and slips planted in simulated observations, and
// the report without a usable navigation file.

#include "views/RinexQuality.h"

#include "support/Files.h"
#include "views/RinexNavigation.h"
#include "views/RinexSeries.h"
#include "views/RinexTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

using namespace korthal;
using namespace korthal::rinex;
using namespace korthal::test;

namespace {

std::string dataFile(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

void readInto(RinexTable& t, const std::string& name)
{
    const ReadResult r = t.readObservations(dataFile(name), true);
    ASSERT_TRUE(r.ok()) << r.message;
}

// Counts a RINEX 2 file's epochs and GPS satellite-epochs from its text
// alone: an epoch line starts with the file's two-digit year at column 2 and
// lists up to 12 satellites from column 33; its continuation lines start
// with 32 blanks and a system letter.
struct TextCount {
    int epochs = 0;
    int observations = 0;
    std::set<std::string> satellites;
};
TextCount countText(const std::string& text, const std::string& epochStart)
{
    TextCount c;
    std::istringstream in(text);
    std::string line;
    bool header = true;
    const auto satellitesFrom = [&c](const std::string& l) {
        for (std::size_t k = 32; k + 3 <= l.size() && k < 68; k += 3) {
            const std::string sat = l.substr(k, 3);
            if (sat[0] == 'G' || sat[0] == ' ')
                ++c.observations, c.satellites.insert(sat);
        }
    };
    while (std::getline(in, line)) {
        if (header) {
            header = line.find("END OF HEADER") == std::string::npos;
            continue;
        }
        if (line.rfind(epochStart, 0) == 0) {
            ++c.epochs;
            satellitesFrom(line);
        } else if (line.size() > 33 && line.compare(0, 32, std::string(32, ' ')) == 0 &&
                   std::isalpha(static_cast<unsigned char>(line[32]))) {
            satellitesFrom(line);
        }
    }
    return c;
}

}  // namespace

// Epochs, expected epochs, completeness and gaps of real files. delf0010.21o:
// counted from its text here; rovn0010.21o: an excerpt of six epochs at 30 s
// (00:00:00, 00:00:30, 01:10:00, 02:25:00, 02:25:30, 02:26:00, as its
// SOURCES.md entry lists), so 293 expected and two gaps of 138 and 149.
TEST(RinexQuality, CountsAgainstTheFileText)
{
    RinexTable delf;
    readInto(delf, "delf0010.21o");
    const TextCount c = countText(readBytes(dataFile("delf0010.21o")), " 21  1  1 ");
    const QualityReport q = computeQuality(delf.table(), SkySource{});
    EXPECT_EQ(q.epochCount(), c.epochs);
    EXPECT_EQ(q.expectedEpochs, c.epochs);
    EXPECT_DOUBLE_EQ(q.completeness, 100.0);
    EXPECT_EQ(q.interval, 30.0);
    EXPECT_TRUE(q.gaps.empty());
    EXPECT_EQ(q.observations, c.observations);
    EXPECT_EQ(q.satellites.size(), c.satellites.size());
    std::int64_t perSatellite = 0;
    for (const SatelliteQuality& s : q.satellites)
        perSatellite += s.observations;
    EXPECT_EQ(perSatellite, c.observations);

    RinexTable rovn;
    readInto(rovn, "rovn0010.21o");
    const QualityReport r = computeQuality(rovn.table(), SkySource{});
    EXPECT_EQ(r.epochCount(), 6);
    EXPECT_EQ(r.expectedEpochs, 293);
    EXPECT_NEAR(r.completeness, 100.0 * 6 / 293, 1e-9);
    ASSERT_EQ(r.gaps.size(), 2u);
    EXPECT_EQ(r.gaps[0].missing, 138);
    EXPECT_EQ(r.gaps[1].missing, 149);
    EXPECT_EQ(formatGpsTime(r.gaps[1].after), "2021-01-01 01:10:00");
    EXPECT_EQ(formatGpsTime(r.gaps[1].before), "2021-01-01 02:25:00");
}

namespace {

// A simulated hour of 30-second dual-frequency observations of three
// satellites: a range changing by 400 m/s, an ionosphere growing by a
// millimetre a second, code noise of about 0.3 m and phase noise of about
// 2 mm (a fixed pseudo-random sequence), constant ambiguities.
struct Simulation {
    MemTable table{"RINEX"};
    Simulation() { defineRinexTable(table); }

    void add(int epoch, int prn, double l1Jump, int lli1)
    {
        static constexpr double f1 = 1575.42e6, f2 = 1227.60e6;
        const double t = 30.0 * epoch;
        const double rho = 2.2e7 + 1.0e5 * prn + 400.0 * t;
        const double iono = 3.0 + 0.001 * t;  // on L1 (m)
        const double gamma = (f1 / f2) * (f1 / f2);
        ObservationRecord o;
        o.epoxh = epoch + 1;
        o.year = 2021, o.month = 3, o.day = 4;
        o.hour = static_cast<int>(t / 3600);
        o.min = static_cast<int>(std::fmod(t, 3600) / 60);
        o.sec = std::fmod(t, 60);
        o.prn = prn;
        const auto noise = [&](double sigma) { return sigma * 1.7 * (next() - 0.5); };
        o.slotValues[SlotP1].value = rho + iono + noise(0.3);
        o.slotValues[SlotP2].value = rho + gamma * iono + noise(0.3);
        o.slotValues[SlotL1].value = (rho - iono + noise(0.002)) / kWavelengthL1 + 1.0e6 + l1Jump;
        o.slotValues[SlotL1].lli = lli1;
        o.slotValues[SlotL2].value = (rho - gamma * iono + noise(0.002)) / kWavelengthL2 - 7.0e5;
        o.slotValues[SlotL1].strength = 7;
        o.slotValues[SlotL2].strength = 5;
        appendObservation(table, o);
    }
    double next()  // uniform in [0, 1), a fixed sequence
    {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) / 9007199254740992.0;
    }
    std::uint64_t seed = 12345;
};

}  // namespace

// Planted faults: a gap of three epochs for every satellite, a 10-cycle jump
// of L1 on G02 from epoch 40, a loss-of-lock flag on G03 at epoch 50. Each is
// found once, where it was planted; G01's clean arc gives no slip, and the
// multipath keeps the simulated code noise (the slip splits G02's arc, so
// the jump does not reach the RMS).
TEST(RinexQuality, PlantedGapAndSlips)
{
    Simulation sim;
    for (int e = 0; e < 120; ++e) {
        if (e >= 20 && e < 23)
            continue;  // the gap
        sim.add(e, 1, 0, 0);
        sim.add(e, 2, e >= 40 ? 10.0 : 0.0, 0);
        sim.add(e, 3, 0, e == 50 ? 1 : 0);
    }
    const QualityReport q = computeQuality(sim.table, SkySource{});
    EXPECT_EQ(q.epochCount(), 117);
    EXPECT_EQ(q.expectedEpochs, 120);
    EXPECT_DOUBLE_EQ(q.completeness, 97.5);
    ASSERT_EQ(q.gaps.size(), 1u);
    EXPECT_EQ(q.gaps[0].missing, 3);
    EXPECT_EQ(formatGpsTime(q.gaps[0].after), "2021-03-04 00:09:30");

    struct Expected {
        int prn;
        int epoch;
        SlipCause cause;
    };
    const Expected expected[] = {{2, 40, SlipCause::GeometryFree}, {3, 50, SlipCause::LossOfLock}};
    ASSERT_EQ(q.slips.size(), std::size(expected));
    for (std::size_t i = 0; i < q.slips.size(); ++i) {
        EXPECT_EQ(q.slips[i].prn, expected[i].prn);
        EXPECT_EQ(q.slips[i].time, q.epochs.front() + 30.0 * expected[i].epoch);
        EXPECT_EQ(q.slips[i].cause, expected[i].cause);
    }
    ASSERT_EQ(q.satellites.size(), 3u);
    EXPECT_EQ(q.satellites[0].slips, 0);
    for (const SatelliteQuality& s : q.satellites) {
        // Code noise of σ ≈ 0.3·1.7/√12 ≈ 0.15 m in each code.
        EXPECT_GT(s.mp1.value, 0.10) << s.prn;
        EXPECT_LT(s.mp1.value, 0.25) << s.prn;
        EXPECT_GT(s.mp2.value, 0.10) << s.prn;
        EXPECT_LT(s.mp2.value, 0.25) << s.prn;
        EXPECT_DOUBLE_EQ(s.snr1.value, 7.0);
        EXPECT_DOUBLE_EQ(s.snr2.value, 5.0);
    }

    // Without the jump and the flag nothing is a slip.
    Simulation clean;
    for (int e = 0; e < 120; ++e)
        for (int prn = 1; prn <= 3; ++prn)
            clean.add(e, prn, 0, 0);
    EXPECT_TRUE(computeQuality(clean.table, SkySource{}).slips.empty());
}

// With the navigation file of the day the report has its sky: elevations,
// the mask, the satellites that were up but not tracked (G27 rose in the
// south-west and was never observed). Without a usable one (none given, one
// of other systems, one of another day, no position) it says why and keeps
// the rest of the report.
TEST(RinexQuality, SkyOrWhyNot)
{
    RinexTable obs;
    readInto(obs, "07590920.05o");
    NavigationResult nav = readNavigationFile(dataFile("07590920.05n"));
    const gnss::EphemerisSet day(std::move(nav.ephemerides));
    NavigationResult amel = readNavigationFile(dataFile("AMEL00NLD_R_20210010000_01D_MN.rnx"));
    const gnss::EphemerisSet otherSystems(std::move(amel.ephemerides));
    const Position header{-3976219.5082, 3382372.5671, 3652512.9849};

    SkySource good;
    good.ephemerides = &day;
    good.navigationName = "07590920.05n";
    good.position = header;
    const QualityReport q = computeQuality(obs.table(), good);
    ASSERT_TRUE(q.sky.available) << q.sky.reason;
    EXPECT_EQ(q.notTracked, std::vector<int>{27});
    for (const SatelliteQuality& s : q.satellites) {
        if (s.prn == 11) {  // high all the hour
            EXPECT_EQ(s.aboveMask, 120);
            EXPECT_EQ(s.expected, 120);
            EXPECT_NEAR(s.maxElevation.value, 69.5, 0.1);
        }
        if (s.prn == 3) {  // below the mask all the hour: nothing counted
            EXPECT_FALSE(s.mp1.known());
        }
    }
    const auto g27 = std::find_if(q.sky.tracks.begin(), q.sky.tracks.end(),
                                  [](const SkyTrack& t) { return t.prn == 27; });
    ASSERT_NE(g27, q.sky.tracks.end());
    EXPECT_FALSE(g27->tracked);

    RinexTable delf;
    readInto(delf, "delf0010.21o");
    struct Case {
        const char* what;
        const MemTable* table;
        const gnss::EphemerisSet* ephemerides;
        std::optional<Position> position;
        const char* reasonHas;
    };
    const Case cases[] = {
        {"no navigation file", &obs.table(), nullptr, header, "Δεν δόθηκε αρχείο εφημερίδων"},
        {"other systems", &delf.table(), &otherSystems, Position{3924687.702, 301132.766, 5001910.775},
         "δεν έχει εφημερίδες GPS"},
        {"another day", &delf.table(), &day, Position{3924687.702, 301132.766, 5001910.775},
         "δεν καλύπτουν τις παρατηρήσεις (2021-01-01 00:00:00 έως 2021-01-01 00:52:00)"},
        {"no position", &obs.table(), &day, Position{0, 0, 0}, "θέση του σημείου"},
    };
    for (const Case& c : cases) {
        SkySource s;
        s.ephemerides = c.ephemerides;
        s.navigationName = "NAV";
        s.position = c.position;
        const QualityReport r = computeQuality(*c.table, s);
        EXPECT_FALSE(r.sky.available) << c.what;
        EXPECT_NE(r.sky.reason.find(c.reasonHas), std::string::npos) << c.what << ": " << r.sky.reason;
        EXPECT_TRUE(r.sky.tracks.empty()) << c.what;
        EXPECT_TRUE(r.notTracked.empty()) << c.what;
        EXPECT_GT(r.epochCount(), 100) << c.what;
        EXPECT_TRUE(r.mp1.known()) << c.what;
    }
}
