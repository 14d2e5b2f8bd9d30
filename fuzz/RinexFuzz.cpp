// RINEX observation files. Every record the reader hands over must be one the
// table can show: a real date, a time whose text can be made, satellite
// numbers and digits in their ranges; every type code of the header must be
// plain ASCII, since it becomes a key of the point's settings file.

#include "fuzz/FuzzSupport.h"
#include "views/RinexReader.h"

#include <cmath>

namespace {

using namespace korthal;

class CheckingSink : public rinex::ObservationSink {
public:
    void header(const rinex::Header& h) override
    {
        for (const std::string& code : h.types)
            for (char c : code)
                if (c <= ' ' || c > '~')
                    fuzz::fuzzFail("a type code that is not plain ASCII: " + code);
        if (h.slotOfPosition.size() > h.types.size())
            fuzz::fuzzFail("more type slots than types");
    }

    void record(const rinex::ObservationRecord& r) override
    {
        if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > 31)
            fuzz::fuzzFail("a record with an impossible date");
        if (!std::isfinite(r.sec) || r.sec < 0 || r.sec >= 60)
            fuzz::fuzzFail("a record whose seconds are not below a minute");
        if (r.prn < 0)
            fuzz::fuzzFail("a record with a negative satellite number");
        const std::string time = rinex::formatEpochTime(r.hour, r.min, r.sec, ',');
        if (time.size() > 40)
            fuzz::fuzzFail("an epoch time text of " + std::to_string(time.size()) + " characters");
        ++records;
    }

    long long records = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::SilentDialogs quiet;
    CheckingSink sink;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const rinex::ReadResult r = rinex::readObservationText(text, "fuzz.obs", sink);
    if (r.stats.records != sink.records)
        fuzz::fuzzFail("the counted records differ from those handed over");
    if (!r.ok() && r.message.empty())
        fuzz::fuzzFail("a read that did not succeed without a message");
    return 0;
}
