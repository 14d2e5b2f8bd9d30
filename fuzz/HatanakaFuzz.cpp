// Hatanaka compression (Compact RINEX). Each input is used twice:
//  - as Compact RINEX, restored line by line: it must end (no endless loop,
//    no line beyond the longest a RINEX file holds), and a fault must say
//    why, naming the file;
//  - as plain RINEX, compressed by our own encoder: when the encoder takes
//    it, the observation reader must find in the compressed text exactly
//    the records of the plain one, and compressing the restored text again
//    must give the same Compact RINEX.

#include "fuzz/RinexCheck.h"
#include "views/HatanakaEncoder.h"
#include "views/RinexText.h"

#include <vector>

namespace {

using namespace korthal;

// The restored lines of Compact RINEX in memory; false on a fault.
bool restore(std::string_view compact, std::string& out)
{
    const auto in = rinex::rinexTextFromMemory(compact, "fuzz.crx");
    std::string_view line;
    while (in->next(line)) {
        if (line.size() > rinex::kMaxLine)
            fuzz::fuzzFail("a restored line of " + std::to_string(line.size()) + " characters");
        out.append(line).push_back('\n');
    }
    if (in->error() && (in->error().message.empty() ||
                        in->error().message.find("fuzz.crx") == std::string::npos))
        fuzz::fuzzFail("a fault whose message does not name the file: " + in->error().message);
    return !in->error();
}

// Our Compact RINEX of a plain text; false when the encoder refuses it.
bool compress(std::string_view plain, std::string& out)
{
    rinex::HatanakaEncoder encoder("fuzz", "09-Dec-26 12:00");
    const auto in = rinex::rinexTextFromMemory(plain, "fuzz.rnx", false);
    std::string_view line;
    while (in->next(line))
        if (!encoder.add(line, out))
            return false;
    if (in->error())
        return false;
    if (!encoder.finish(out)) {
        if (encoder.error().empty())
            fuzz::fuzzFail("the encoder refused a text without saying why");
        return false;
    }
    return true;
}

struct Records : rinex::ObservationSink {
    std::vector<rinex::ObservationRecord> r;
    void header(const rinex::Header&) override {}
    void record(const rinex::ObservationRecord& o) override { r.push_back(o); }
};

bool sameRecords(const std::vector<rinex::ObservationRecord>& a,
                 const std::vector<rinex::ObservationRecord>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto& x = a[i];
        const auto& y = b[i];
        if (x.epoxh != y.epoxh || x.year != y.year || x.month != y.month || x.day != y.day ||
            x.hour != y.hour || x.min != y.min || x.sec != y.sec || x.flag != y.flag ||
            x.prn != y.prn)
            return false;
        for (std::size_t s = 0; s < x.slotValues.size(); ++s)
            if (x.slotValues[s].value != y.slotValues[s].value ||
                x.slotValues[s].lli != y.slotValues[s].lli ||
                x.slotValues[s].strength != y.slotValues[s].strength)
                return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::SilentDialogs quiet;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::string restored;
    restore(text, restored);

    std::string compact;
    if (!compress(text, compact))
        return 0;
    Records plain, packed;
    const rinex::ReadResult a = rinex::readObservationText(text, "a", plain);
    const rinex::ReadResult b = rinex::readObservationText(compact, "b", packed);
    if (a.ok() && !b.ok())
        fuzz::fuzzFail("a plain text read whole whose compressed form fails: " + b.message, text,
                       compact);
    if (a.ok() && !sameRecords(plain.r, packed.r))
        fuzz::fuzzFail("the compressed text holds other records than the plain one", text, compact);

    std::string back, again;
    if (!restore(compact, back))
        fuzz::fuzzFail("our own Compact RINEX cannot be restored", text, compact);
    if (!compress(back, again) || again != compact)
        fuzz::fuzzFail("the restored text compresses to other Compact RINEX", compact, again);
    return 0;
}
