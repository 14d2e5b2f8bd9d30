// Broadcast orbits, look angles and the navigation file reader, against an
// independent implementation.

#include "views/RinexNavigation.h"
#include "views/RinexSky.h"
#include "views/RinexSkySource.h"
#include "views/RinexTable.h"

#include "support/Files.h"
#include "support/Lzw.h"
#include "support/Zlib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

using namespace korthal;
using namespace korthal::rinex;

namespace {

std::string dataFile(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

// One GPS record of 07590920.05n (G03, toe 2005-04-02 00:00).
const std::string kVersion2Record =
    " 3 05  4  2  0  0  0.0 9.673088788990D-05 3.069544618480D-12 0.000000000000D+00\n"
    "    8.300000000000D+01 1.968750000000D+01 5.376652456590D-09 2.471116819930D+00\n"
    "    1.018866896630D-06 6.735791102980D-03 7.564201951030D-06 5.153730749130D+03\n"
    "    5.184000000000D+05-1.005828380580D-07 5.354931929380D-01-6.519258022310D-08\n"
    "    9.274337998890D-01 2.158750000000D+02 6.038989687590D-01-8.278916219240D-09\n"
    "   -1.525063547670D-10 1.000000000000D+00 1.316000000000D+03 0.000000000000D+00\n"
    "    0.000000000000D+00 0.000000000000D+00-4.190951585770D-09 5.950000000000D+02\n"
    "    5.112180000000D+05\n";

// The same record as RINEX 3 writes it: the system letter, a four-digit year,
// the numbers one column further right.
std::string version3Record()
{
    const std::size_t firstEnd = kVersion2Record.find('\n');
    std::string out = "G03 2005 04 02 00 00 00" + kVersion2Record.substr(22, firstEnd - 22) + "\n";
    std::size_t at = kVersion2Record.find('\n') + 1;
    while (at < kVersion2Record.size()) {
        const std::size_t end = kVersion2Record.find('\n', at);
        out += " " + kVersion2Record.substr(at, end - at + 1);
        at = end + 1;
    }
    return out;
}

gnss::EphemerisSet ephemeridesOf(const std::string& file)
{
    NavigationResult nav = readNavigationFile(dataFile(file));
    EXPECT_TRUE(nav.ok()) << nav.message;
    EXPECT_TRUE(nav.findings.empty());
    return gnss::EphemerisSet(std::move(nav.ephemerides));
}

}  // namespace

// Satellite positions (ECEF at the time of transmission, in the frame of that
// time) from the navigation file 07590920.05n. Reference: RTKLIB 2.4.3 b34
// (Debian's rnx2rtkp -p 0 -x 4 on 07590920.05o and 07590920.05n), the
// "satposs" trace lines: transmission time (GPS, to the microsecond) and
// position. Both pick the ephemeris whose toe is nearest. Tolerance 1 m
// (the two agree to a few millimetres).
TEST(BroadcastOrbit, PositionsAgreeWithRtklib)
{
    struct Row {
        int year, month, day, hour, minute;
        double second;
        int prn;
        double X, Y, Z;
    };
    const Row rows[] = {
        {2005, 4, 1, 23, 59, 59.917287, 3, -24595184.341, -10320589.582, 1244218.674},
        {2005, 4, 2, 0, 3, 59.925687, 24, -4470791.359, 25551014.650, 5551469.578},
        {2005, 4, 2, 0, 8, 29.923220, 19, -23882073.250, -5878892.329, 10100427.092},
        {2005, 4, 2, 0, 12, 59.920587, 8, -911799.929, 26249813.920, -2422632.724},
        {2005, 4, 2, 0, 17, 29.930748, 11, -15387754.248, 6225650.130, 20686040.737},
        {2005, 4, 2, 0, 21, 59.922981, 19, -24575494.928, -6503205.100, 7757742.964},
        {2005, 4, 2, 0, 26, 29.919058, 8, -1165515.795, 25895649.074, -4987014.901},
        {2005, 4, 2, 0, 30, 59.921320, 7, 6061017.318, 17314161.559, 19676224.307},
        {2005, 4, 2, 0, 35, 59.922393, 7, 5354065.686, 17124629.124, 20047300.696},
        {2005, 4, 2, 0, 40, 59.916761, 4, 5620709.774, 25705918.441, -1791432.871},
        {2005, 4, 2, 0, 44, 59.930763, 28, -7557035.973, 20539242.294, 15043041.273},
        {2005, 4, 2, 0, 49, 29.931607, 20, -21913730.279, 11238904.218, 9839315.051},
        {2005, 4, 2, 0, 53, 59.916960, 1, -17459316.468, -14989260.923, 13473271.288},
        {2005, 4, 2, 0, 57, 29.929475, 24, -5683070.922, 21592201.062, 14518781.305},
    };
    const gnss::EphemerisSet set = ephemeridesOf("07590920.05n");
    for (const Row& r : rows) {
        const double t = gnss::gpsSeconds(r.year, r.month, r.day, r.hour, r.minute, r.second);
        const gnss::GpsEphemeris* eph = set.nearest(r.prn, t);
        ASSERT_NE(eph, nullptr) << "G" << r.prn;
        const auto p = gnss::satellitePosition(*eph, t);
        const double d = std::sqrt((p.X - r.X) * (p.X - r.X) + (p.Y - r.Y) * (p.Y - r.Y) +
                                   (p.Z - r.Z) * (p.Z - r.Z));
        EXPECT_LT(d, 1.0) << "G" << r.prn << " at " << r.hour << ":" << r.minute;
    }
    // No ephemeris serves a day later.
    EXPECT_EQ(set.nearest(3, gnss::gpsSeconds(2005, 4, 3, 12, 0, 0)), nullptr);
}

// Azimuth and elevation of every satellite of 07590920.05o every ten minutes,
// seen from the header's approximate position. Reference: RTKLIB 2.4.3 b34
// (rnx2rtkp -p 0 -m 0 -y 2), the "$SAT" lines of the solution status file,
// given to 0.1°; RTKLIB looks from its own single-point position, some 15 m
// from the header's, which moves the angles by less than 0.0001°. Tolerance
// 0.1° (the reference's rounding is 0.05°).
TEST(SkyGeometry, LookAnglesAgreeWithRtklib)
{
    struct Row {
        int minute;
        const char* sat;
        double azimuth, elevation;
    };
    const Row rows[] = {
        {0, "G03", 103.9, 9.7}, {0, "G07", 298.1, 16.2}, {0, "G08", 242.9, 20.1}, {0, "G11", 23.0, 69.5},
        {0, "G19", 86.4, 31.7}, {0, "G20", 161.2, 45.4}, {0, "G24", 245.6, 34.8}, {0, "G28", 306.7, 47.2},
        {10, "G03", 107.0, 6.8}, {10, "G07", 300.7, 19.3}, {10, "G08", 239.0, 17.2}, {10, "G11", 29.5, 65.7},
        {10, "G19", 90.6, 28.9}, {10, "G20", 158.4, 50.1}, {10, "G24", 249.9, 38.3}, {10, "G28", 302.4, 50.7},
        {20, "G01", 82.3, 5.3}, {20, "G07", 303.1, 22.5}, {20, "G08", 235.4, 14.3}, {20, "G11", 34.9, 61.9},
        {20, "G19", 94.7, 26.0}, {20, "G20", 154.8, 54.7}, {20, "G24", 254.5, 41.6}, {20, "G28", 296.8, 53.8},
        {30, "G01", 78.3, 7.0}, {30, "G07", 305.5, 25.8}, {30, "G08", 231.9, 11.3}, {30, "G11", 39.7, 58.2},
        {30, "G19", 98.5, 23.0}, {30, "G20", 150.1, 59.2}, {30, "G24", 259.6, 44.9}, {30, "G28", 289.9, 56.3},
        {40, "G01", 74.3, 8.4}, {40, "G07", 307.7, 29.3}, {40, "G11", 44.0, 54.6}, {40, "G19", 102.2, 20.0},
        {40, "G20", 143.8, 63.4}, {40, "G24", 265.1, 47.9}, {40, "G28", 281.6, 58.2}, {50, "G01", 70.1, 9.6},
        {50, "G04", 252.6, 9.0}, {50, "G07", 309.8, 32.8}, {50, "G11", 48.0, 51.0}, {50, "G19", 105.8, 17.0},
        {50, "G20", 135.0, 67.1}, {50, "G24", 271.1, 50.8}, {50, "G28", 272.4, 59.2},
    };
    RinexTable obs;
    const ReadResult read = obs.readObservations(dataFile("07590920.05o"), true);
    ASSERT_TRUE(read.ok()) << read.message;
    const gnss::EphemerisSet set = ephemeridesOf("07590920.05n");
    const SkyGeometry sky(set, {read.header.Xo, read.header.Yo, read.header.Ho});

    // Ours at the epochs on whole ten minutes (the receiver's clock runs a
    // few milliseconds off).
    std::map<std::pair<int, int>, gnss::LookAngles> ours;
    const double start = gnss::gpsSeconds(2005, 4, 2, 0, 0, 0);
    const std::int64_t missing = forEachObservationLook(obs.table(), sky, [&](const ObservationLook& o) {
        const double s = o.time - start;
        const double tenMinutes = std::round(s / 600.0);
        if (std::fabs(s - tenMinutes * 600.0) < 0.5)
            ours[{static_cast<int>(tenMinutes) * 10, o.prn}] = o.angles;
    });
    EXPECT_EQ(missing, 0);
    for (const Row& r : rows) {
        const auto it = ours.find({r.minute, std::atoi(r.sat + 1)});
        ASSERT_NE(it, ours.end()) << r.sat << " at minute " << r.minute;
        EXPECT_NEAR(it->second.azimuth, r.azimuth, 0.1) << r.sat << " at minute " << r.minute;
        EXPECT_NEAR(it->second.elevation, r.elevation, 0.1) << r.sat << " at minute " << r.minute;
    }
}

// The navigation reader: a damaged number loses its record only, named by
// line; other systems are read past; what is no navigation file is refused.
TEST(NavigationReader, DamagedRecordsAndOtherSystems)
{
    const std::string header =
        "     2.10           N: GPS NAV DATA                         RINEX VERSION / TYPE\n"
        "                                                            END OF HEADER\n";
    std::string broken = kVersion2Record;
    broken.replace(broken.find("1.018866896630D-06"), 18, "1.01886689x630D-06");
    const std::string text = header + broken + kVersion2Record;
    const NavigationResult r = readNavigation(textLines(text), "brdc.05n");
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.ephemerides.size(), 1u);
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0].line, 5);
    EXPECT_EQ(r.findings[0].message,
              "brdc.05n, γραμμή 5: το \"1.01886689x630D-06\" δεν είναι έγκυρος αριθμός· "
              "η εφημερίδα του G03 παραλείπεται");
    EXPECT_EQ(r.ephemerides[0].toe, gnss::gpsSeconds(2005, 4, 2, 0, 0, 0));

    // A RINEX 3 mixed file of the day of delf0010.21o with no GPS record.
    const NavigationResult mixed = readNavigationFile(dataFile("AMEL00NLD_R_20210010000_01D_MN.rnx"));
    ASSERT_TRUE(mixed.ok()) << mixed.message;
    EXPECT_TRUE(mixed.ephemerides.empty());
    EXPECT_EQ(mixed.otherRecords, 6);
    EXPECT_TRUE(mixed.findings.empty());

    // An observation file is refused whole.
    const NavigationResult obs = readNavigationFile(dataFile("07590920.05o"));
    EXPECT_EQ(obs.status, NavigationStatus::NotNavigation);
    EXPECT_NE(obs.message.find("07590920.05o"), std::string::npos);
    EXPECT_EQ(readNavigationFile(dataFile("no-such.05n")).status, NavigationStatus::CannotOpen);
}

// RINEX 3 and 4 records: a GPS record among others, and the RINEX 4 record
// marks; the names of the navigation file beside an observation file.
TEST(NavigationReader, Versions3And4AndFileNames)
{
    const std::string body = version3Record();
    const std::string glonass =
        "R07 2005 04 02 00 15 00 -.426337239332e-03 -.752518047875e-10  .000000000000e+00\n"
        "      .100000000000e+01  .118906250000e+02  .105325815814e-08 -.255139531119e+01\n";
    const std::string v3 =
        "     3.04           NAVIGATION DATA     MIXED               RINEX VERSION / TYPE\n"
        "                                                            END OF HEADER\n" +
        glonass + body + glonass;
    const NavigationResult r3 = readNavigation(textLines(v3), "x.rnx");
    ASSERT_TRUE(r3.ok()) << r3.message;
    ASSERT_EQ(r3.ephemerides.size(), 1u);
    EXPECT_EQ(r3.otherRecords, 2);
    const std::string v4 =
        "     4.00           NAVIGATION DATA     M                   RINEX VERSION / TYPE\n"
        "                                                            END OF HEADER\n"
        "> EPH R07 FDMA\n" + glonass + "> EPH G03 LNAV\n" + body +
        "> STO G03 LNAV\n    2005 04 02 00 00 00 GPUT\n" + "> EPH G03 CNAV\n" + body;
    const NavigationResult r4 = readNavigation(textLines(v4), "x.rnx");
    ASSERT_TRUE(r4.ok()) << r4.message;
    ASSERT_EQ(r4.ephemerides.size(), 1u);
    EXPECT_EQ(r4.ephemerides[0].prn, 3);
    EXPECT_DOUBLE_EQ(r4.ephemerides[0].sqrtA, 5.153730749130e3);
    EXPECT_EQ(r4.otherRecords, 3);

    const std::vector<std::pair<std::string, std::vector<std::string>>> names = {
        {"a/07590920.05o", {"a/07590920.05n", "a/07590920.05N"}},
        {"DELF0010.21O", {"DELF0010.21N", "DELF0010.21n"}},
        {"x/ACOR00ESP_R_20213550000_01D_30S_MO.crx",
         {"x/ACOR00ESP_R_20213550000_01D_MN.rnx", "x/ACOR00ESP_R_20213550000_01D_GN.rnx"}},
        {"POINT.RNX", {}},
    };
    for (const auto& [obs, expected] : names)
        EXPECT_EQ(navigationFileCandidates(obs), expected) << obs;
}

// Navigation files as they are handed out, gzipped or Unix-compressed: the
// same ephemerides as the plain file. A damaged one (a wrong gzip checksum,
// reserved gzip flags, a compress code with no string yet) keeps nothing and
// names the damage.
TEST(NavigationReader, CompressedFilesGiveTheSameEphemerides)
{
    test::TempDir dir("nav_layers");
    for (const char* file : {"07590920.05n", "AMEL00NLD_R_20210010000_01D_MN.rnx"}) {
        const std::string plain = test::readBytes(dataFile(file));
        const NavigationResult expected = readNavigationFile(dataFile(file));
        ASSERT_TRUE(expected.ok()) << expected.message;
        for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
                 {"a.gz", test::gzipped(plain)},
                 {"b.Z", test::lzwCompress(plain)},
                 {"c.Z.gz", test::gzipped(test::lzwCompress(plain))}}) {
            const NavigationResult r = readNavigationFile(test::writeBytes(dir.file(name), bytes));
            ASSERT_TRUE(r.ok()) << file << " " << name << ": " << r.message;
            EXPECT_TRUE(r.findings.empty()) << file << " " << name;
            EXPECT_EQ(r.version, expected.version);
            EXPECT_EQ(r.otherRecords, expected.otherRecords) << file << " " << name;
            ASSERT_EQ(r.ephemerides.size(), expected.ephemerides.size()) << file << " " << name;
            for (std::size_t i = 0; i < r.ephemerides.size(); ++i) {
                EXPECT_EQ(r.ephemerides[i].prn, expected.ephemerides[i].prn);
                EXPECT_EQ(r.ephemerides[i].toe, expected.ephemerides[i].toe);
                EXPECT_EQ(r.ephemerides[i].sqrtA, expected.ephemerides[i].sqrtA);
                EXPECT_EQ(r.ephemerides[i].omegaDot, expected.ephemerides[i].omegaDot);
            }
        }
    }
    const std::string plain = test::readBytes(dataFile("07590920.05n"));
    std::string badSum = test::gzipped(plain);
    badSum[badSum.size() - 6] ^= 0x55;  // the CRC-32 of the trailer
    std::string badFlags = test::gzipped(plain);
    badFlags[3] = '\xe0';  // reserved flag bits
    std::string badCode = test::lzwCompress(plain);
    badCode[3] = badCode[4] = '\xff';  // a first code of 511
    for (const auto& [name, bytes, says] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"d.gz", badSum, "gzip"}, {"e.gz", badFlags, "gzip"}, {"f.Z", badCode, "compress"}}) {
        const std::string path = test::writeBytes(dir.file(name), bytes);
        const NavigationResult r = readNavigationFile(path);
        EXPECT_EQ(r.status, NavigationStatus::Damaged) << name << ": " << r.message;
        EXPECT_TRUE(r.ephemerides.empty()) << name;
        EXPECT_NE(r.message.find(path), std::string::npos) << r.message;
        EXPECT_NE(r.message.find(says), std::string::npos) << r.message;
    }
}

// The position the sky is seen from: a network point typed as packed φ, λ, h
// converted to WGS84 X, Y, Z (reference: X = (N+h) cosφ cosλ, Y = (N+h) cosφ
// sinλ, Z = (N(1−e²)+h) sinφ on WGS84, evaluated in Python in double
// precision; tolerance 1 mm), and the choice between the point and the header.
TEST(SkySource, PositionOfThePointOrOfTheHeader)
{
    struct Packed {
        double phi, lambda, h, X, Y, Z;
    };
    const Packed packed[] = {
        {38.1530123, 23.45105, 150.25, 4590037.9364, 2019943.9317, 3928096.0961},
        {35.0, 25.3, 0.5, 4720906.6665, 2251756.9721, 3637867.1962},
    };
    for (const Packed& r : packed) {
        const auto p = networkPointPosition(r.phi, r.lambda, r.h, false);
        ASSERT_TRUE(p);
        EXPECT_NEAR(p->X, r.X, 1e-3);
        EXPECT_NEAR(p->Y, r.Y, 1e-3);
        EXPECT_NEAR(p->Z, r.Z, 1e-3);
    }
    EXPECT_FALSE(networkPointPosition(38.15, 23.45, 0, false));  // h not entered
    EXPECT_FALSE(networkPointPosition(4590037.9, 0, 3928096.1, true));

    const Position point{4590037.9364, 2019943.9317, 3928096.0961};
    const Position near{4590037.9364 + 3000, 2019943.9317 - 4000, 3928096.0961};  // 5 km
    const Position japan{-3976219.508, 3382372.567, 3652512.985};
    const Position none{0, 0, 0};
    struct Case {
        std::optional<Position> network, header;
        std::optional<Position> chosen;
        const char* source;
    };
    const Case cases[] = {
        {point, near, point, "συντεταγμένες του σημείου του δικτύου"},
        {point, std::nullopt, point, "συντεταγμένες του σημείου του δικτύου"},
        {point, none, point, "συντεταγμένες του σημείου του δικτύου"},
        {std::nullopt, japan, japan, "προσεγγιστική θέση της κεφαλίδας"},
        {point, japan, japan,
         "προσεγγιστική θέση της κεφαλίδας (οι συντεταγμένες του σημείου απέχουν 8678 km από αυτήν)"},  // the chord
        {std::nullopt, none, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const ChosenPosition got = choosePosition(c.network, c.header);
        EXPECT_EQ(got.source, c.source);
        ASSERT_EQ(got.position.has_value(), c.chosen.has_value()) << c.source;
        if (c.chosen) {
            EXPECT_EQ(got.position->X, c.chosen->X) << c.source;
            EXPECT_EQ(got.position->Z, c.chosen->Z) << c.source;
        }
    }
}

// The navigation file beside an observation file, plain or compressed as
// archives keep them; the first candidate that exists.
TEST(SkySource, NavigationFileBesideTheObservations)
{
    using korthal::test::TempDir;
    using korthal::test::writeBytes;
    struct Case {
        const char* observations;
        std::vector<const char*> present;
        const char* found;  // "" for none
    };
    const Case cases[] = {
        {"abcd0920.05o", {"abcd0920.05n"}, "abcd0920.05n"},
        {"ABCD0920.05O", {"ABCD0920.05N"}, "ABCD0920.05N"},
        {"abcd0920.05o", {"abcd0920.05n.gz"}, "abcd0920.05n.gz"},
        {"abcd0920.05d.Z", {"abcd0920.05n.Z"}, "abcd0920.05n.Z"},
        {"abcd0920.05o.gz", {"abcd0920.05n"}, "abcd0920.05n"},
        {"abcd0920.05o", {"abcd0920.05n", "abcd0920.05n.gz"}, "abcd0920.05n"},
        {"ACOR00ESP_R_20213550000_01D_30S_MO.crx.gz", {"ACOR00ESP_R_20213550000_01D_GN.rnx.gz"},
         "ACOR00ESP_R_20213550000_01D_GN.rnx.gz"},
        {"abcd0920.05o", {"abcd0920.06n", "abcd0920.05g"}, ""},
        {"point.obs", {"point.nav"}, ""},
    };
    for (const Case& c : cases) {
        TempDir dir("navbeside");
        writeBytes(dir.file(c.observations), "x");
        for (const char* p : c.present)
            writeBytes(dir.file(p), "x");
        const std::string got = navigationFileBeside(dir.file(c.observations));
        EXPECT_EQ(got, *c.found ? dir.file(c.found) : std::string()) << c.observations;
    }
}
