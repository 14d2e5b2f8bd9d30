#pragma once
// Hatanaka compression of RINEX observation text: Compact RINEX 1.0 for
// RINEX 2, 3.0 for RINEX 3 and 4 (the format is described in Hatanaka.h).
//
// The observations are differenced up to the third order, the receiver
// clock up to the second; an epoch line that follows an event record, and
// the records of cycle slips (epoch flag 6), start the compression afresh,
// so that any decoder restores them. Values come back in the standard form
// of RINEX (F14.3: "0.123", where a file may have written ".123").
//
// Fed one RINEX line at a time, it hands out the Compact RINEX lines each
// completes: it holds one epoch, whatever the size of the file.

#include "views/Hatanaka.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korthal::rinex {

class HatanakaEncoder {
public:
    // `program` and `date` fill the "CRINEX PROG / DATE" line.
    HatanakaEncoder(std::string program, std::string date);
    ~HatanakaEncoder();
    HatanakaEncoder(const HatanakaEncoder&) = delete;
    HatanakaEncoder& operator=(const HatanakaEncoder&) = delete;

    // One line of RINEX text (without its end); the Compact RINEX lines it
    // completes are appended to `out`, each ending in LF. False when the
    // text cannot be compressed (error() says why, naming the line).
    bool add(std::string_view line, std::string& out);
    // The end of the text: false when it ends inside an epoch.
    bool finish(std::string& out);
    const std::string& error() const { return error_; }

private:
    struct Satellite;
    bool headerLine(std::string_view line, std::string& out);
    bool epochLine(std::string_view line);
    bool epochDone(std::string& out);
    bool fail(const std::string& why);
    Satellite& satellite(std::string_view id);

    std::string program_, date_;
    int version_ = 0;  // 1 or 3 (Compact RINEX), once the first line was read
    bool inHeader_ = true;
    std::int64_t lineNo_ = 0;
    std::int64_t blankAt_ = 0;  // the first blank line where an epoch was due
    std::string error_;
    SystemTypeCounts types_;
    int rinex2Types_ = 0;

    // The epoch being gathered.
    enum class Want { Epoch, EpochContinuation, Special, Satellite };
    Want want_ = Want::Epoch;
    std::int64_t epochLineNo_ = 0;
    std::string epoch_;       // the epoch line as Compact RINEX holds it
    std::string clockText_;   // the clock field of the epoch line
    int count_ = 0;           // satellites (or special records) announced
    int listed_ = 0;          // satellites of the list gathered
    int flag_ = 0;
    std::vector<std::string> records_;  // each satellite's observation text
    int linesOfRecord_ = 0;   // lines of the satellite being gathered

    bool restart_ = true;     // the next epoch starts the compression afresh
    std::string reference_;   // the last epoch line written
    DifferenceArc clock_;
    std::int64_t epochs_ = 0;
    std::vector<Satellite> satellites_;
    std::vector<int> satelliteIndex_;
    std::string scratch_, flags_;
    std::string said_;  // the digits as the differences say them
};

// The date of the "CRINEX PROG / DATE" line for now: "09-Dec-26 18:30" (UTC).
std::string compactRinexDateNow();

}  // namespace korthal::rinex
