#pragma once
// What the observation reader hands over must be something the table can
// show: a real date, a time whose text can be made, satellite numbers and
// digits in their ranges; every type code of the header must be plain
// ASCII, since it becomes a key of the point's settings file.

#include "fuzz/FuzzSupport.h"
#include "views/RinexReader.h"

#include <cmath>

namespace korthal::fuzz {

class CheckingSink : public rinex::ObservationSink {
public:
    void header(const rinex::Header& h) override
    {
        for (const std::string& code : h.types)
            for (char c : code)
                if (c <= ' ' || c > '~')
                    fuzzFail("a type code that is not plain ASCII: " + code);
        if (h.slotOfPosition.size() > h.types.size())
            fuzzFail("more type slots than types");
        // A RINEX 3 code fills a type of its own kind and band; the P code
        // pseudoranges of RINEX 2 are C codes in RINEX 3.
        for (const rinex::CodeSource& s : h.sources)
            if (s.type.size() != 2 || s.code.size() != 3 ||
                s.code[0] != (s.type[0] == 'P' ? 'C' : s.type[0]) || s.code[1] != s.type[1])
                fuzzFail("a code that cannot fill its type: " + s.code + " -> " + s.type);
    }

    void record(const rinex::ObservationRecord& r) override
    {
        if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > 31)
            fuzzFail("a record with an impossible date");
        if (!std::isfinite(r.sec) || r.sec < 0 || r.sec >= 60)
            fuzzFail("a record whose seconds are not below a minute");
        if (r.prn < 0)
            fuzzFail("a record with a negative satellite number");
        for (const rinex::SlotValue& v : r.slotValues)
            if (!std::isfinite(v.value))
                fuzzFail("a value that is not a number");
        const std::string time = rinex::formatEpochTime(r.hour, r.min, r.sec, ',');
        if (time.size() > 40)
            fuzzFail("an epoch time text of " + std::to_string(time.size()) + " characters");
        ++records;
    }

    long long records = 0;
};

// The properties of any reading: the records counted are those handed over,
// and a reading that failed says why.
inline void checkReading(const rinex::ReadResult& r, const CheckingSink& sink)
{
    if (r.stats.records != sink.records)
        fuzzFail("the counted records differ from those handed over");
    if (!r.ok() && r.message.empty())
        fuzzFail("a read that did not succeed without a message");
    if (r.line < 0)
        fuzzFail("a stopping line before the text: " + std::to_string(r.line));
}

}  // namespace korthal::fuzz
