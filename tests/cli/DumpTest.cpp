// korthal-cli dump on table files that the test builds itself.

#include "support/RunCli.h"
#include "support/Zlib.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace korthal::test;

// Writes the table text (code page 1253 bytes) compressed and dumps it.
CliResult dump(const std::string& tableText, const std::string& options = {})
{
    const std::string table = writeBytes(scratchBase("dump") + ".tbl", deflated(tableText));
    return runCli("dump \"" + table + "\" " + options);
}

// The reference file's header in code page 1253, and as UTF-8.
const std::string kGysHeader1253 =
    "\"ID\",\"\xD3\xE7\xEC\xE5\xDF\xEF\",\"E  (m)\",\"N  (m)\",\"H  (m)\",\"Perigrafh\",\"Sxolio1\","
    "\"Sxolio2\",\"Sxolio3\",\"Sxolio4\",\"Sxolio5\",\"Sxolio6\",\"\xE1\xF0\xEF\xF7\xDE\",\"\xF6\","
    "\"\xEB\",\"\xEF\xF1\xE8\xEF\xEC\xE5\xF4\xF1\xE9\xEA\xFC\",\"xxxxxxx\",";
const std::string kGysHeaderUtf8 =
    "\"ID\",\"Σημείο\",\"E  (m)\",\"N  (m)\",\"H  (m)\",\"Perigrafh\",\"Sxolio1\",\"Sxolio2\","
    "\"Sxolio3\",\"Sxolio4\",\"Sxolio5\",\"Sxolio6\",\"αποχή\",\"φ\",\"λ\",\"ορθομετρικό\","
    "\"xxxxxxx\",";

}  // namespace

TEST(Dump, ReferenceFileWithLfLinesAndDuplicateIDs)
{
    // Null items clear a field's default; fields after the last item keep it.
    const CliResult r = dump(kGysHeader1253 + "\n\"1\",\"\xC1\",\"10,5\",,,,,,,,,,,,,,\"False\",\n" +
                       "\"2\",\"B\"\n\"1\",\"\xC3\"\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kGysHeaderUtf8 + "\r\n" +
                         "\"1\",\"Γ\",\"10,5\",,,,,,,,,,,,,,\"False\",\r\n" +
                         "\"2\",\"B\",,,\"0\",,,,,,,,\"0\",,,,\r\n");
    EXPECT_TRUE(r.err.empty());
}

TEST(Dump, StopsAtABadValueAndNamesTheLine)
{
    const std::string header = "\"ID\",\"Name\",\"X\",\"Y\",\"Z\",\"E\",\"N\",\"H\",\"detailPoint\",";
    const CliResult r = dump(header + "\r\n\"1\",\"A\",\"1,5\",\r\n\"2\",\"B\",\"2\",\r\n\"3\",\"C\",\"x\",\r\n");
    EXPECT_EQ(r.status, 1);
    // The header comes from the field labels, the two good records follow.
    EXPECT_EQ(r.out.substr(0, 12), "\"ID\",\"Σημ");
    EXPECT_NE(r.out.find("\"2\",\"B\",\"2\",,,,,,\"c\",,,,,,,,,,,,,,,,\r\n"), std::string::npos);
    EXPECT_EQ(r.out.find("\"3\""), std::string::npos);
    EXPECT_NE(r.err.find("record line 3"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\"x\""), std::string::npos) << r.err;
}

TEST(Dump, KindFromHeaderOrOption)
{
    const std::string unknown = "\"a\",\"b\",\r\n\"1\",\"Q\"\r\n";
    const CliResult bad = dump(unknown);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("--table"), std::string::npos);
    const CliResult forced = dump(unknown, "--table reference");
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.out.substr(0, kGysHeaderUtf8.size()), kGysHeaderUtf8);
    EXPECT_EQ(dump(unknown, "--table tables").status, 2);

    const CliResult rinex = dump("\"epoxh\",\"Date\",\"Hour\",\"min\",\"sec\",\r\n"
                             "\"1\",\"05/04/2003\",\"9\",\"5\",\"7,5\"\r\n");
    EXPECT_EQ(rinex.status, 0) << rinex.err;
    EXPECT_NE(rinex.out.find("\"1\",\"05/04/2003\",\"9\",\"5\",\"7,5\","), std::string::npos);
}

TEST(Dump, TruncatedFile)
{
    std::string text = kGysHeader1253 + "\r\n";
    for (int i = 1; i <= 3000; ++i)
        text += "\"" + std::to_string(i) + "\",\"P" + std::to_string(i * 7) + "\",\"" +
                std::to_string(i * 104729 % 1000003) + "\"\r\n";
    const std::string stream = deflated(text);
    const std::string table =
        writeBytes(scratchBase("dump") + ".tbl", stream.substr(0, stream.size() / 2));
    const CliResult r = runCli("dump \"" + table + "\"");
    ASSERT_NE(r.status, -1);  // exited normally
    EXPECT_EQ(r.status, 1);
    const std::string& out = r.out;
    EXPECT_GT(out.size(), 1000u);
    EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
    EXPECT_NE(r.err.find("record line"), std::string::npos);
}
