// RINEX files far larger than any test may write: generated on the fly
// through a pipe. Reading them holds one line at a time, whatever their size,
// and a file that ends inside an epoch keeps every observation before the cut.

#include "views/RinexReader.h"

#include "project/Dialogs.h"
#include "support/Memory.h"

#include <gtest/gtest.h>

using namespace korthal;
using namespace korthal::rinex;
using namespace korthal::test;

namespace {

// Counts what it is given and keeps nothing.
struct Tally : ObservationSink {
    int headers = 0;
    long long records = 0;
    ObservationRecord last;
    void header(const Header&) override { ++headers; }
    void record(const ObservationRecord& r) override { ++records, last = r; }
};

std::string pad(std::string s, std::size_t width, const std::string& label)
{
    s.resize(width, ' ');
    return s + label + "\n";
}

const std::string kHead =
    pad("     2.11           OBSERVATION DATA    G (GPS)", 60, "RINEX VERSION / TYPE") +
    pad("     2    L1    C1", 60, "# / TYPES OF OBSERV") + pad("", 60, "END OF HEADER");
// One epoch of two satellites, the same again and again.
const std::string kEpoch = " 05  3 31  0  0  0.0000000  0  2G07G09\n"
                           "  55923622.160 7  21284566.9364\n"
                           "  55923633.160 7  21284577.9364\n";
constexpr long long kEpochs = 1500000;  // about 140 MB

}  // namespace

TEST(RinexStream, MillionsOfIdenticalEpochsAreReadInConstantMemory)
{
    RecordingDialogs quiet;
    Tally sink;
    ReadResult r;
    const long long growth = peakGrowth([&] {
        GeneratedStream stream(kHead, kEpoch, kEpochs, "");
        r = readObservationFile(stream.path, sink);
    });
    EXPECT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(sink.headers, 1);
    EXPECT_EQ(sink.records, 2 * kEpochs);
    EXPECT_EQ(r.stats.epochs, kEpochs);
    if (!kSanitizedAllocator && growth >= 0) {
        EXPECT_LT(growth, 32ll << 20) << "resident memory grew by " << growth << " bytes";
    }
}

TEST(RinexStream, AFileEndingInsideAnEpochKeepsWhatCameBefore)
{
    RecordingDialogs quiet;
    const std::string lastEpoch = " 05  3 31  0  1  0.0000000  0  2G07G09\n";
    struct Cut {
        std::string rest;        // what follows the last epoch line
        long long records;       // records kept
        std::int64_t line;       // the line the message names
    };
    // 1000 epochs of three lines after a header of three: the last epoch's
    // line is line 3004.
    for (const Cut& c : {
             // Right after the epoch line.
             Cut{"", 2000, 3004},
             // After the first satellite's whole line.
             Cut{"  55923622.160 7  21284566.9364\n", 2001, 3005},
             // Inside the first satellite's line: its value may be cut
             // ("55923622.1" of "55923622.160"), so it is not kept.
             Cut{"  55923622.1", 2000, 3005},
         }) {
        Tally sink;
        GeneratedStream stream(kHead, kEpoch, 1000, lastEpoch + c.rest);
        const ReadResult r = readObservationFile(stream.path, sink);
        EXPECT_EQ(r.status, ReadStatus::StoppedAtLine) << c.rest;
        EXPECT_EQ(sink.records, c.records) << c.rest;
        EXPECT_EQ(r.line, c.line) << c.rest;
        EXPECT_NE(r.message.find("τελειώνει μέσα στην εποχή της γραμμής 3004"), std::string::npos)
            << r.message;
    }

    // The last satellite's line without a line end is a file without a
    // final one: it is read.
    Tally sink;
    GeneratedStream stream(kHead, kEpoch, 1000,
                           lastEpoch + "  55923622.160 7  21284566.9364\n  55923633.160 7  21284577.9364");
    const ReadResult r = readObservationFile(stream.path, sink);
    EXPECT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(sink.records, 2002);
    EXPECT_DOUBLE_EQ(sink.last.slotValues[SlotL1].value, 55923633.160);
}
