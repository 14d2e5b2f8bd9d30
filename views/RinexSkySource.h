#pragma once
// Where the observation viewer gets the sky of a point's observations from:
// the navigation file (found beside the observation file, or picked by the
// user, and remembered in the table's companion settings file), the point's
// position (the network point's coordinates, or the approximate position of
// the observation file's header), and the elevation mask.
//
// Plain data and small files: the viewer (app/RinexSkyTabs) shows what comes
// of it, the quality report (RinexQuality.h) computes with it.

#include "network/NumberText.h"
#include "views/RinexNavigation.h"
#include "views/RinexQuality.h"
#include "views/RinexSeries.h"
#include "views/RinexSky.h"

#include <optional>
#include <string>
#include <vector>

namespace korthal::rinex {

// The keys of the companion settings file, section "FILE", beside "Name":
// "Navigation" the navigation file of the observations (full path) and
// "ElevationMask" the mask in degrees.
inline constexpr const char* kNavigationKey = "Navigation";
inline constexpr const char* kElevationMaskKey = "ElevationMask";

// The navigation file remembered for a table; empty when none is.
std::string rememberedNavigationFile(const std::string& settingsFile);
// Remembers it; false with the reason in `error` when the file cannot be
// written.
bool rememberNavigationFile(const std::string& settingsFile, const std::string& navigationFile,
                            std::string& error);
// The elevation mask remembered (kDefaultElevationMask when none, or when the
// value is no mask: below 0 or from 90 up).
double rememberedElevationMask(const std::string& settingsFile);
bool rememberElevationMask(const std::string& settingsFile, double mask, std::string& error);

// The first of navigationFileCandidates(observationFile) that exists as a
// file, plain or compressed (".gz", ".Z"; the observation file's own ".gz"
// or ".Z" left out of its name first); empty when none does.
std::string navigationFileBeside(const std::string& observationFile);
// The same for the observation files named in the companion file's "Name"
// (only names, "; " between several): looked for in each of `folders`.
std::string navigationFileForNames(const std::string& names, const std::vector<std::string>& folders);

// The approximate position of the header as the companion file keeps it
// ("POSITION", "Xo", "Yo", "Ho", written with the locale's decimal
// separator); nullopt when missing or all 0.
std::optional<Position> headerPosition(const std::string& settingsFile);

// The WGS84 geocentric position of a network point from its three WGS84
// values: X, Y, Z as they are, or φ, λ (packed DD.MMSSsss) and h converted;
// nullopt while any of the three is not entered (0).
std::optional<Position> networkPointPosition(double a, double b, double c, bool inputIsGeocentric);

// The position the sky is seen from, and what to say of it.
struct ChosenPosition {
    std::optional<Position> position;
    std::string source;  // Greek
};
// The network point's coordinates when it has them, else the header's. When
// both are known but lie more than kPositionMismatch apart the observations
// were not made at that point (another point's file): the header's position
// is taken and the source says how far apart they are.
inline constexpr double kPositionMismatch = 10000.0;  // m
ChosenPosition choosePosition(const std::optional<Position>& network,
                              const std::optional<Position>& header);

// The ephemerides of a navigation file and what the quality report needs of
// them. Holds the set the source points to, so it is neither copied nor moved.
class ObservationSky {
public:
    ObservationSky() = default;
    ObservationSky(const ObservationSky&) = delete;
    ObservationSky& operator=(const ObservationSky&) = delete;

    // Reads the navigation file (empty: none). The records it skipped are
    // kept in findings(); a file that cannot be read leaves no ephemerides
    // and the reason in source().missingReason.
    void loadNavigation(const std::string& navigationFile);
    void setPosition(const ChosenPosition& p);

    const SkySource& source() const { return source_; }
    bool hasEphemerides() const { return source_.ephemerides != nullptr; }
    const std::string& navigationFile() const { return file_; }
    const std::vector<NavigationFinding>& findings() const { return findings_; }

private:
    gnss::EphemerisSet set_;
    SkySource source_;
    std::string file_;
    std::vector<NavigationFinding> findings_;
};

// The text of the quality report as a fixed-pitch listing: pages of at most
// `pageLines` lines (0: one page, for a file), the headings on the first.
// Decimals with `decimal`.
std::vector<std::vector<std::string>> qualityListing(const QualityReport& q,
                                                     const SkySource& source,
                                                     const std::string& heading,
                                                     const std::string& observationFiles,
                                                     char decimal, int pageLines);

// The time of day (ms) of GPS seconds, as the charts place the epochs.
std::int32_t timeOfDayMs(double gpsSeconds);

// The report's slips and gaps as an observable's chart marks them; a gap
// over midnight, which a chart of the time of day cannot show, is left out.
std::vector<SlipAt> chartSlips(const QualityReport& q);
std::vector<TimeSpan> chartGaps(const QualityReport& q);

// "G05  2005-04-02 00:30:00  αζιμούθιο 123.4°  ύψος 45.6°  SNR 7" of a point of
// the sky's tracks (SNR "-" when unknown).
std::string skyReadout(const QualityReport& q, std::size_t track, std::size_t point);

}  // namespace korthal::rinex
