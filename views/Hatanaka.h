#pragma once
// Hatanaka compression (Compact RINEX), restored to RINEX observation text.
//
// Compact RINEX 1.0 holds RINEX 2 observation files, 3.0 RINEX 3 and 4
// ones (Y. Hatanaka, "A Compression Format and Tools for GNSS Observation
// Data", Bulletin of the Geospatial Information Authority of Japan 55,
// 2008). After two header lines of its own the RINEX header follows as it
// is. Then each epoch is:
//  - its epoch line, as text differenced from the last epoch line: a blank
//    keeps the character above, '&' makes a blank, any other character
//    replaces it. A line that starts with '&' (1.0) or '>' (3.0) stands
//    whole and starts the compression afresh: every satellite is new. In
//    1.0 the line holds columns 1-32 of the RINEX epoch line and then the
//    whole satellite list; in 3.0 columns 1-41 and the list.
//  - a line with the receiver clock offset (empty when there is none);
//  - one line per satellite of the list: a field per observation type of
//    the satellite's system, separated by single blanks, then a blank and
//    the LLI and signal-strength digits of all types as text differenced
//    from the satellite's last ones. A line that stops early leaves the
//    remaining fields empty and the digits as they were.
// A numeric field (an observation in thousandths, the clock in units of
// 1e-9 s in 1.0 and 1e-12 s in 3.0) is either empty (no value), "k&v"
// (the value v starting an arc whose differences go up to order k), or a
// difference of the arc's order so far: the first value after the start is
// given as a first difference, the next as a second, up to order k.
// Event records (epoch flags 2 to 5) stand whole, their special records
// following as they are.
//
// The decoder streams: it holds one epoch and the state of each satellite.

#include "views/RinexLayers.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korthal::rinex {

// The highest order of differences a Compact RINEX field may ask for.
inline constexpr int kMaxDifferenceOrder = 9;

// One arc of differences: the value and its differences up to the order.
struct DifferenceArc {
    std::array<std::int64_t, kMaxDifferenceOrder + 1> d{};
    int order = 0;     // the highest order the arc goes up to
    int have = 0;      // values since the start, up to order + 1
    bool active = false;
};

// The epoch text of the satellites' systems: how many observation types each
// system has in the header. System letters A-Z (blank counts as 'G').
struct SystemTypeCounts {
    std::array<int, 26> count{};  // 0: the header lists no types for it
    bool set(char system, int n);
    int of(char system) const;
};

class HatanakaLines : public LineLayer {
public:
    // `in` gives the Compact RINEX lines from the first.
    HatanakaLines(LineLayer& in, ReadState& state);
    ~HatanakaLines() override;
    HatanakaLines(const HatanakaLines&) = delete;
    HatanakaLines& operator=(const HatanakaLines&) = delete;

    bool next(std::string_view& line) override;
    std::int64_t lineNumber() const override { return outLine_; }
    bool unterminated() const override { return false; }
    std::uint64_t consumed() const override { return consumed_; }

private:
    struct Satellite;
    bool fill();  // one more piece of output (a header line or an epoch)
    bool headerLine();
    bool epoch();
    bool dataEpoch(std::string_view satellites, int count);
    bool satelliteLine(Satellite& s, std::string_view line, int types);
    bool fail(const std::string& why);
    bool readInput(std::string_view& line, const char* what);
    void emit(std::string_view text);
    Satellite& satellite(std::string_view id);

    LineLayer& in_;
    ReadState& state_;
    int version_ = 0;  // 1 or 3, once the first line was read
    bool inHeader_ = true;
    int headerLines_ = 0;
    SystemTypeCounts types_;
    int rinex2Types_ = 0;
    std::string reference_;  // the last epoch line, restored
    bool haveReference_ = false;
    DifferenceArc clock_;
    std::int64_t epochs_ = 0;  // data epochs so far
    std::vector<Satellite> satellites_;
    std::vector<int> satelliteIndex_;  // by system and number: index + 1, or 0

    // The output of one piece: lines joined, each ending in LF.
    std::string out_;
    std::size_t outPos_ = 0;
    std::int64_t outLine_ = 0;
    std::uint64_t consumed_ = 0;
    std::string scratch_;
    std::vector<char> values_;  // which types of a satellite have a value
};

// The text of a value in thousandths as RINEX writes it (F14.3): sign,
// digits, point, three decimals, right-aligned in 14 columns. The same for
// `decimals` other than 3 and other widths. False when it does not fit.
bool formatFixedPoint(std::int64_t value, int decimals, int width, std::string& out);

}  // namespace korthal::rinex
