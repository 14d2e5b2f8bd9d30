// The text of RINEX files through their layers: Hatanaka (Compact RINEX)
// restored and written, gzip and Unix compress found by their first bytes
// and stacked, damaged layers stopped with a message that names the place.
//
// The references are the shared twin pairs: Compact RINEX files written by
// RNX2CRX 4.0.7 and 4.1.0 beside the plain files they came from.

#include "views/HatanakaEncoder.h"
#include "views/RinexReader.h"
#include "views/RinexTable.h"
#include "views/RinexText.h"

#include "support/Files.h"
#include "support/Lzw.h"
#include "support/Zlib.h"

#include <gtest/gtest.h>

using namespace korthal;
using namespace korthal::rinex;
using namespace korthal::test;

namespace {

std::string dataFile(const std::string& name)
{
    return std::string(KORTHAL_SHARED_DATA) + "/rinex/" + name;
}

std::string trimmed(std::string_view line)
{
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.remove_suffix(1);
    return std::string(line);
}

// The lines of a source without trailing blanks; the fault's message last.
std::vector<std::string> linesOf(TextSource& in)
{
    std::vector<std::string> out;
    std::string_view line;
    while (in.next(line))
        out.push_back(trimmed(line));
    if (in.error())
        out.push_back("!" + in.error().message);
    return out;
}

// The lines of a text in memory, Compact RINEX left as it is or restored.
std::vector<std::string> textLines(const std::string& text, bool restore = false)
{
    const auto in = rinexTextFromMemory(text, "text", restore);
    return linesOf(*in);
}

// Compact RINEX of a text through our compressor, in memory.
std::string compressed(const std::string& text, std::string* error = nullptr)
{
    HatanakaEncoder encoder("test", "09-Dec-26 12:00");
    const auto in = rinexTextFromMemory(text, "plain");
    std::string out;
    std::string_view line;
    bool ok = true;
    while (ok && in->next(line))
        ok = encoder.add(line, out);
    ok = ok && encoder.finish(out);
    if (error)
        *error = ok ? "" : encoder.error();
    return ok ? out : std::string();
}

std::vector<std::string> withoutFirstLines(std::vector<std::string> lines, std::size_t n)
{
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(n, lines.size())));
    return lines;
}

struct Twin {
    const char* compact;
    const char* plain;
};
const Twin kTwins[] = {
    {"DUTH0630.22D", "DUTH0630.22O"},  // Compact RINEX 3.0 of RINEX 3.02, RNX2CRX 4.1.0
    {"ACOR00ESP_R_20213550000_01D_30S_MO.crx", "ACOR00ESP_R_20213550000_01D_30S_MO.rnx"},  // 3.04, 4.0.7
    {"AJAC3550.21D", "AJAC3550.21O"},  // Compact RINEX 1.0 of RINEX 2.11, 4.0.7
    {"delf0010.21d", "delf0010.21o"},  // the same
};

}  // namespace

TEST(RinexText, TwinPairsRestoreToTheirPlainTextAndTable)
{
    TempDir dir("rinex_twins");
    for (const Twin& t : kTwins) {
        const auto compact = openRinexText(dataFile(t.compact));
        const auto plain = openRinexText(dataFile(t.plain));
        EXPECT_EQ(linesOf(*compact), linesOf(*plain)) << t.compact;
        EXPECT_EQ(compact->layers(), std::vector<Layer>{Layer::Hatanaka});

        // The table file stored from either is the same, byte for byte.
        RinexTable a, b;
        a.RinexFileName = dir.file("A.RNX");
        b.RinexFileName = dir.file("B.RNX");
        ASSERT_TRUE(a.readFileIntoTable(dataFile(t.compact), ReadMode::Replace).ok()) << t.compact;
        ASSERT_TRUE(b.readFileIntoTable(dataFile(t.plain), ReadMode::Replace).ok()) << t.plain;
        EXPECT_GT(a.table().recordCount(), 0);
        EXPECT_EQ(readBytes(a.RinexFileName), readBytes(b.RinexFileName)) << t.compact;
    }
}

// Our compressor writes what RNX2CRX wrote, after the two lines that name
// the program: so any decoder that reads those files reads ours.
TEST(RinexText, CompressorWritesWhatTheReferenceCompressorWrote)
{
    for (const Twin& t : kTwins) {
        const std::string ours = compressed(readBytes(dataFile(t.plain)));
        ASSERT_FALSE(ours.empty()) << t.plain;
        EXPECT_EQ(withoutFirstLines(textLines(ours), 2),
                  withoutFirstLines(textLines(readBytes(dataFile(t.compact))), 2))
            << t.plain;
    }
    // The RINEX 4 file without a plain twin: restored and compressed again.
    const std::string kms = dataFile("KMS300DNK_R_20221591000_01H_30S_MO.crx");
    const auto restored = openRinexText(kms);
    std::string text;
    for (const std::string& line : linesOf(*restored))
        text += line + "\n";
    EXPECT_EQ(withoutFirstLines(textLines(compressed(text)), 2),
              withoutFirstLines(textLines(readBytes(kms)), 2));
}

TEST(RinexText, EveryObservationFileComesBackThroughCompression)
{
    enum class Back { Same, SameButFinalBlankLine, NumbersInStandardForm, Refused };
    struct Case {
        const char* file;
        Back back;
        const char* why;  // part of the refusal
    };
    for (const Case& c : {
             Case{"07590920.05o", Back::Same, ""},
             Case{"14601736.18o", Back::Same, ""},  // events without a date, CR LF
             Case{"AJAC3550.21O", Back::Same, ""},
             Case{"delf0010.21o", Back::Same, ""},
             Case{"nklg170b00.16o", Back::Same, ""},
             Case{"DUTH0630.22O", Back::Same, ""},
             Case{"LARM0630.22O", Back::Same, ""},
             Case{"NOA10630.22O", Back::Same, ""},
             Case{"ACOR00ESP_R_20213550000_01D_30S_MO.rnx", Back::Same, ""},
             Case{"gps.23O.gz", Back::Same, ""},
             // The last, blank, line of the last record is missing from the
             // file; restored, it is there.
             Case{"rovn0010.21o", Back::SameButFinalBlankLine, ""},
             // ".00041": a value written ".000" comes back "0.000".
             Case{"KOSG0010.95O", Back::NumbersInStandardForm, ""},
             // The format's example has a value of one decimal, which
             // Compact RINEX cannot hold: refused, naming the line.
             Case{"mixed211.05o", Back::Refused, "γραμμή 65: η τιμή \"123456789.0\""},
         }) {
        const auto in = openRinexText(dataFile(c.file));
        const std::vector<std::string> original = linesOf(*in);
        std::string text;
        for (const std::string& line : original)
            text += line + "\n";
        std::string error;
        const std::string compact = compressed(text, &error);
        if (c.back == Back::Refused) {
            EXPECT_NE(error.find(c.why), std::string::npos) << c.file << ": " << error;
            continue;
        }
        ASSERT_EQ(error, "") << c.file;
        std::vector<std::string> back = textLines(compact, true);
        if (c.back == Back::SameButFinalBlankLine) {
            ASSERT_EQ(back.back(), "");
            back.pop_back();
        }
        if (c.back == Back::NumbersInStandardForm) {
            // The same records.
            struct Keep : ObservationSink {
                std::vector<ObservationRecord> r;
                void header(const Header&) override {}
                void record(const ObservationRecord& o) override { r.push_back(o); }
            } a, b;
            ASSERT_TRUE(readObservationText(text, "a", a).ok());
            ASSERT_TRUE(readObservationText(compact, "b", b).ok());
            ASSERT_EQ(a.r.size(), b.r.size());
            for (std::size_t i = 0; i < a.r.size(); ++i)
                for (std::size_t s = 1; s <= kSlotCount; ++s) {
                    EXPECT_EQ(a.r[i].slotValues[s].value, b.r[i].slotValues[s].value);
                    EXPECT_EQ(a.r[i].slotValues[s].lli, b.r[i].slotValues[s].lli);
                }
            continue;
        }
        EXPECT_EQ(back, original) << c.file;
    }
}

TEST(RinexText, LayersFoundByTheirFirstBytesAndStacked)
{
    TempDir dir("rinex_layers");
    const std::string plain = readBytes(dataFile("DUTH0630.22O"));
    const std::string compact = readBytes(dataFile("DUTH0630.22D"));
    const auto expected = textLines(plain);
    struct Case {
        const char* name;  // names say nothing: the bytes decide
        std::string bytes;
        std::vector<Layer> layers;
    };
    for (const Case& c : {
             Case{"a.bin", plain, {}},
             Case{"b.bin", gzipped(plain), {Layer::Gzip}},
             Case{"c.bin", lzwCompress(plain), {Layer::Compress}},
             Case{"d.bin", lzwCompress(plain, 12), {Layer::Compress}},
             Case{"e.crx.gz", gzipped(compact), {Layer::Gzip, Layer::Hatanaka}},
             Case{"f.22d.Z", lzwCompress(compact), {Layer::Compress, Layer::Hatanaka}},
             Case{"g.Z.gz", gzipped(lzwCompress(compact)),
                  {Layer::Gzip, Layer::Compress, Layer::Hatanaka}},
             // Two gzip members one after the other read as one stream.
             Case{"h.gz", gzipped(plain.substr(0, 1000)) + gzipped(plain.substr(1000)), {Layer::Gzip}},
         }) {
        const auto in = openRinexText(writeBytes(dir.file(c.name), c.bytes));
        EXPECT_EQ(linesOf(*in), expected) << c.name;
        EXPECT_EQ(in->layers(), c.layers) << c.name;
        EXPECT_EQ(in->fileSize(), c.bytes.size()) << c.name;
    }
    // A large text through the compress layer: the codes grow to 16 bits and
    // the table is cleared when full.
    std::string big;
    for (int k = 0; k < 40; ++k)
        big += readBytes(dataFile("delf0010.21o")) + std::to_string(k) + "\n";
    const auto in = openRinexText(writeBytes(dir.file("big.Z"), lzwCompress(big)));
    std::string back;
    std::string_view line;
    while (in->next(line))
        back.append(line).push_back('\n');
    EXPECT_FALSE(in->error()) << in->error().message;
    EXPECT_TRUE(back == big);
}

// A point whose table holds a reading of KOSG0010.95O: damaged files must
// leave the table, its file and its companion file as they were.
TEST(RinexText, DamagedInputsStopWithAMessageNamingFileAndPlace)
{
    TempDir dir("rinex_damaged");
    RinexTable rt;
    rt.RinexFileName = dir.file("P000001.RNX");
    ASSERT_TRUE(rt.readFileIntoTable(dataFile("KOSG0010.95O"), ReadMode::Replace).ok());
    const std::string rnx = readBytes(rt.RinexFileName);
    const std::string ini = readBytes(rinexSettingsFileName(rt.RinexFileName));

    const std::string compact = readBytes(dataFile("DUTH0630.22D"));
    const std::string plain3 = readBytes(dataFile("NOA10630.22O"));
    // Line 58 of DUTH0630.22D is the second epoch's line, 60 its first satellite's.
    const std::size_t epoch2 = compact.find("                28 3");
    ASSERT_NE(epoch2, std::string::npos);
    const std::size_t sat1 = compact.find('\n', compact.find('\n', epoch2) + 1) + 1;
    std::string corrupt = compact;
    corrupt[sat1 + 3] = 'x';
    std::string badSum = gzipped(plain3);
    badSum[badSum.size() - 6] ^= 0x55;  // the CRC-32 of the trailer
    std::string badCode = lzwCompress(plain3);
    badCode[3] = badCode[4] = '\xff';    // a first code of 511: no such string yet
    std::string tooFew = plain3;
    tooFew.replace(tooFew.find("  0  9\n"), 7, "  0 10\n");

    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> says;  // parts of the message
    };
    for (const Case& c : {
             Case{"cut.22d", compact.substr(0, sat1 + 40),
                  {"γραμμή 60 ", "(συμπίεση Hatanaka)", "τελειώνει"}},
             Case{"corrupt.22d", corrupt, {"γραμμή 60 ", "(συμπίεση Hatanaka)", "λάθος διαφορά \"561x75520\""}},
             Case{"sum.gz", badSum, {"byte ", "gzip", "άθροισμα ελέγχου"}},
             Case{"code.Z", badCode, {"byte 3 ", "compress", "λάθος κωδικός 511"}},
             Case{"few.22o", tooFew, {"γραμμής 31 ", "αναγγέλλει 10 δορυφόρους", "ακολουθούν 9"}},
         }) {
        const std::string path = writeBytes(dir.file(c.name), c.bytes);
        const RinexReadOutcome out = rt.readFileIntoTable(path, ReadMode::Replace);
        EXPECT_FALSE(out.ok()) << c.name;
        const std::string message = out.failureMessage();
        EXPECT_NE(message.find(path), std::string::npos) << message;
        for (const std::string& part : c.says)
            EXPECT_NE(message.find(part), std::string::npos) << c.name << ": " << message;
        EXPECT_EQ(rt.table().recordCount(), 23) << c.name;
        EXPECT_EQ(readBytes(rt.RinexFileName), rnx) << c.name;
        EXPECT_EQ(readBytes(rinexSettingsFileName(rt.RinexFileName)), ini) << c.name;
    }
}
