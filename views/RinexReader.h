#pragma once
// Reading RINEX observation files, versions 2, 3 and 4.
//
// The reader walks the text once, line by line, and hands every GPS
// observation record (one satellite at one epoch) to a sink. It knows nothing
// of tables or settings files: RinexTable.h connects it to the point's
// observation table and its companion settings file, the command-line tool
// and the benchmark use it directly. The text comes through RinexText.h, so
// gzipped, Unix-compressed and Hatanaka-compressed files read the same.
//
// What it reads, beyond the single line per satellite of the simplest files:
//  - observation records of more than five types, continued over several
//    lines of five fields each, and epochs of more than twelve satellites,
//    whose satellite list goes on in continuation lines;
//  - mixed files: only GPS satellites (system letter G or blank) become
//    records, the others are skipped and counted;
//  - event records (epoch flags 2 to 5): their special records are skipped;
//    flag 6 records (cycle slips) are read as observations;
//  - RINEX 3 and 4: epoch lines starting with ">", one line per satellite,
//    the observation types per system; the GPS codes fill the table's
//    RINEX 2 types as RinexCodes.h says, and SYS / SCALE FACTOR divides
//    their values.
// Informational header lines whose numbers stand outside their columns are
// read by their fields, or left empty, with a warning; satellites whose
// time or values cannot be read are left out and listed.

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "views/RinexCodes.h"
#include "views/RinexText.h"

namespace korthal::rinex {

// The eight observation types kept, each in its fixed slot.
enum Slot : int { NoSlot = 0, SlotC1 = 1, SlotC2, SlotP1, SlotP2, SlotL1, SlotL2, SlotD1, SlotD2 };
constexpr int kSlotCount = 8;

// The slot of a type code ("C1" 1 ... "D2" 8); 0 for any other code.
int slotOfCode(std::string_view code);

// One observation as the file gives it: the value and its two digits.
struct SlotValue {
    double value = 0;
    int lli = 0;       // loss-of-lock indicator
    int strength = 0;  // signal strength
};

// Index 1 to 8 are the slots; index 0 is unused.
using SlotBuffer = std::array<SlotValue, kSlotCount + 1>;

// What the header says.
struct Header {
    double version = 0;                // from "RINEX VERSION / TYPE"; 0 when absent
    int nTypes = 0;                    // the count of "# / TYPES OF OBSERV"
    // The codes, in header order. For RINEX 3 and 4, the RINEX 2 types that
    // the GPS codes fill (`sources` says which code fills which).
    std::vector<std::string> types;
    std::vector<int> slotOfPosition;   // slot of types[i]
    std::vector<CodeSource> sources;   // RINEX 3 and 4 only
    bool hasPosition = false;          // "APPROX POSITION XYZ" was read
    double Xo = 0, Yo = 0, Ho = 0;
    std::string receiver;              // "REC # / TYPE / VERS": the type
    std::string antenna;               // "ANT # / TYPE": the type
    bool hasAntennaHeight = false;     // "ANTENNA: DELTA H/E/N": H (m)
    double antennaHeight = 0;
    bool hasInterval = false;          // "INTERVAL" (s)
    double interval = 0;
};

// Lines a reading met and went past: the first kKept of them, all counted.
struct Finding {
    std::int64_t line = 0;  // of the text
    std::string text;
};
struct Findings {
    static constexpr std::size_t kKept = 20;
    std::vector<Finding> kept;
    std::int64_t count = 0;
    void add(std::int64_t line, std::string text)
    {
        if (kept.size() < kKept)
            kept.push_back({line, std::move(text)});
        ++count;
    }
};

// One record of the observation table, before it goes into the table.
struct ObservationRecord {
    int epoxh = 0;  // epoch number, from 1 in each file
    int year = 0, month = 0, day = 0;
    int hour = 0;
    int min = 0;     // minute, with whole minutes of the seconds carried in
    double sec = 0;  // seconds below 60, with the fraction
    int flag = 0;    // epoch flag
    int prn = 0;     // satellite number
    SlotBuffer slotValues{};
};

// Receives what the reader finds. header() comes once, after the whole header
// was read and found usable, before the first record.
class ObservationSink {
public:
    virtual ~ObservationSink() = default;
    virtual void header(const Header& h) = 0;
    virtual void record(const ObservationRecord& r) = 0;
};

struct ReadStats {
    std::int64_t epochs = 0;          // observation epochs (flags 0, 1, 6), empty ones too
    std::int64_t records = 0;         // records handed to the sink
    std::int64_t skipped = 0;         // observations of other systems than GPS
    std::int64_t specialRecords = 0;  // lines of event records skipped
    std::int64_t events = 0;          // event records (flags 2 to 5)
    std::int64_t badSatellites = 0;   // satellites lost to a conversion error
    std::array<bool, 100> satelliteSeen{};  // GPS numbers 0..99 that gave records

    int satellites() const;  // how many distinct GPS satellites
};

enum class ReadStatus {
    Ok,
    CannotOpen,      // nothing read
    HeaderError,     // header unusable (no END OF HEADER, version 5, bad line): nothing read
    StoppedAtLine,   // the records up to `line` were read, then reading stopped
    Cancelled,       // the caller asked to stop (the sink may hold some records)
};

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    std::string message;     // the Greek message for anything but Ok
    std::int64_t line = 0;   // the line that stopped the reading (1-based)
    Header header;
    ReadStats stats;
    Findings warnings;       // header lines read leniently
    Findings badSatellites;  // epoch lines of satellites left out (stats.badSatellites)
    std::vector<Layer> layers;  // the compression layers the text came through
    bool ok() const { return status == ReadStatus::Ok; }
    // True when the sink saw the header (and possibly records).
    bool headerRead() const
    {
        return status == ReadStatus::Ok || status == ReadStatus::StoppedAtLine ||
               status == ReadStatus::Cancelled;
    }
};

// Called now and then with the bytes read so far and the file's size.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;
// Asked right after each progress report (and as often, whether or not there
// is a Progress); true stops the reading with ReadStatus::Cancelled.
using CancelCheck = std::function<bool()>;

// Reads one satellite's observation text into the slots: the value of type
// position i (from 0) in columns 16i+1 to 16i+14, its LLI digit in column
// 16i+15 and its strength digit in column 16i+16; blank reads 0, columns past
// the end of the text read blank. `slotOfPosition` gives the slot of each
// position (0: not kept). All slots are cleared first. Returns false when a
// piece is not a number.
bool ParseObservationLine(std::string_view line, const std::vector<int>& slotOfPosition,
                          SlotBuffer& out);

// The time of an epoch as the table shows it: "%2d : %2d :  " then the seconds
// with two digits, the decimal separator and seven decimals, cut after the
// seventh. Seconds that are no time of a day (negative, 100000 and more, not
// a number), which only a damaged table file holds, show in the general
// format.
std::string formatEpochTime(int hour, int min, double sec, char decimalSeparator);

// The year of a two-digit RINEX 2 year: 80..99 are 1980..1999, 0..79 2000..2079.
int fullYear(int yy);

// Reads a file, plain or compressed. Nothing is shown: every problem ends
// up in the result.
ReadResult readObservationFile(const std::string& path, ObservationSink& sink,
                               const Progress& progress = {}, const CancelCheck& cancel = {});

// The same for a text source already open.
ReadResult readObservations(TextSource& in, ObservationSink& sink, const Progress& progress = {},
                            const CancelCheck& cancel = {});

// The same for text already in memory (`name` is used in messages).
ReadResult readObservationText(std::string_view text, const std::string& name,
                               ObservationSink& sink, const Progress& progress = {},
                               const CancelCheck& cancel = {});

// The message about what a reading went past: the header lines read
// leniently, the satellites left out with their epoch lines. Empty when
// there are none.
std::string findingsMessage(const ReadResult& r, const std::string& file);

// What a completed reading found, one item a line: epochs, records,
// satellites, observations of other systems skipped, and for RINEX 3 and 4
// which code filled which type.
std::string readSummary(const ReadResult& r);

}  // namespace korthal::rinex
