// Point lists that are no point lists: lines far longer than a point's, and
// files of a great many lines that cannot be read. Memory grows with the
// points imported, not with the file.

#include "DocumentTestSupport.h"

#include "project/TextOutput.h"
#include "table/Cp1253.h"

#include <cstdio>

namespace korthal::testing {
namespace {

class ImportLimitsTest : public DocumentTest {
protected:
    // Writes `head`, then `times` copies of `line`, then `tail`.
    std::string writeList(const std::string& head, const std::string& line, long long times,
                          const std::string& tail)
    {
        const std::string path = (dir / "LIST.TXT").string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        std::fputs(utf8ToCp1253(head).c_str(), f);
        const std::string bytes = utf8ToCp1253(line);
        for (long long i = 0; i < times; ++i)
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fputs(utf8ToCp1253(tail).c_str(), f);
        std::fclose(f);
        return path;
    }

    static constexpr const char* kPoint = "Κ1\t4538567.695\t1901291.101\t4044813.091\r\n";
    static constexpr const char* kOther = "Κ2\t4538568.695\t1901292.101\t4044814.091\r\n";
};

TEST_F(ImportLimitsTest, AnOverlongLineIsRejectedWithoutBeingHeld)
{
    // 64 MB without a line end between two points.
    const ImportResult r = doc.ImportPointList(
        writeList(kPoint, std::string(1 << 20, '7'), 64, std::string("\r\n") + kOther));
    EXPECT_EQ(r.separator, '\t');
    EXPECT_EQ(r.imported, 2);
    ASSERT_EQ(r.rejectedLines, 1);
    EXPECT_EQ(r.rejected[0].first, 2);
    EXPECT_NE(r.rejected[0].second.find("4096"), std::string::npos);
    EXPECT_EQ(doc.GPS().recordCount(), 2);
}

TEST_F(ImportLimitsTest, ManyBadLinesAreCountedAndTheFirstOnesShown)
{
    const ImportResult r = doc.ImportPointList(writeList(kPoint, "x\ty\r\n", 200000, kOther));
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(r.rejectedLines, 200000);
    ASSERT_EQ(r.rejected.size(), ImportResult::kKeptRejections);
    EXPECT_EQ(r.rejected.front().first, 2);
    EXPECT_EQ(r.rejected.back().first, 21);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const std::string msg = dialogs.messages()[0];
    EXPECT_NE(msg.find("δεν διαβάστηκαν 200000 γραμμές"), std::string::npos) << msg.substr(0, 200);
    EXPECT_NE(msg.find("... και 199980 ακόμη"), std::string::npos);
}

TEST(TextLineReader, LineEndsAndCutLines)
{
    test::TempDir dir("lines");
    const std::string path = dir.file("t.txt");
    test::writeBytes(path, "a\r\nb\rc\n\r\n\xD3\xE7" + std::string(10, 'x') + "\rlast");
    TextLineReader in(path, 6);
    std::string line;
    bool cut = false;
    std::vector<std::string> lines;
    std::vector<bool> cuts;
    while (in.next(line, cut)) {
        lines.push_back(line);
        cuts.push_back(cut);
    }
    EXPECT_FALSE(in.failed());
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "", "Ση" "xxxx", "last"}));
    EXPECT_EQ(cuts, (std::vector<bool>{false, false, false, false, true, false}));
    EXPECT_EQ(readTextLines(path)->size(), 6u);
    EXPECT_FALSE(TextLineReader(dir.file("missing")).isOpen());
}

}  // namespace
}  // namespace korthal::testing
