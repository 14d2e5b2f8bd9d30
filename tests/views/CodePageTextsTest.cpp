// Every text the program writes into a file goes out in code page 1253: a
// character the code page lacks (an arrow, a minus sign) would reach the
// file as '?'. These tests convert each such text and fail on a loss.

#include "project/Dialogs.h"
#include "network/PointTables.h"
#include "network/SelfTest.h"
#include "project/Document.h"
#include "table/Cp1253.h"
#include "table/TableText.h"
#include "views/Listing.h"
#include "views/RinexTable.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace korthal {
namespace {

namespace fs = std::filesystem;

void expectCodePage(const std::string& text)
{
    bool lossy = false;
    utf8ToCp1253(text, &lossy);
    EXPECT_FALSE(lossy) << text;
}

TEST(CodePageTexts, ListingsOfTheDemoNetworkWithItsResiduals)
{
    RecordingDialogs dialogs;
    const test::TempDir temp("cp1253");
    for (const auto& e : fs::directory_iterator(fs::path(KORTHAL_SOURCE_DIR) / "examples" / "demo"))
        fs::copy_file(e.path(), temp.path / e.path().filename());
    Document doc(Separators{'.', ','});
    doc.LoadReference(temp.file("EGSA87"));
    doc.openNetwork(temp.file("DEMO.WGS84"));
    ASSERT_GT(doc.GPS().recordCount(), 0);
    ASSERT_FALSE(doc.residuals().empty());
    // A reference point without its measurement: the residual list says so.
    doc.GPS().append();
    doc.enterNetworkPointName(doc.GYS().getString(doc.GYS().recAt(0), gys::Name));
    doc.RecomputeNetwork();

    bool noted = false;
    for (bool network : {true, false})
        for (bool toFile : {true, false})
            for (const auto& page : printTableLines(doc, network, toFile))
                for (const auto& line : page) {
                    expectCodePage(line);
                    noted = noted || line.find("χωρίς μέτρηση WGS84") != std::string::npos;
                }
    EXPECT_TRUE(noted);
}

TEST(CodePageTexts, TableFilesAndTheSelfTestReport)
{
    Document doc(Separators{'.', ','});
    expectCodePage(tableText(doc.GPS()));
    expectCodePage(tableText(doc.GYS()));
    MemTable rinex("RINEX");
    defineRinexTable(rinex);
    expectCodePage(tableText(rinex));

    Transformation tr;
    NumberText numbers(Separators{'.', ','});
    numbers.setDisplay(Separators{',', '.'});
    SelfTest test(tr, numbers);
    test.setSeed(7);
    SelfTestSettings s;
    s.SErepetitions = 3;
    int lines = 0;
    test.run(s, [&](const std::string& line) {
        expectCodePage(line);
        ++lines;
    });
    EXPECT_GT(lines, 3);
}

}  // namespace
}  // namespace korthal
