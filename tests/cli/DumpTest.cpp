// korthal-cli dump on table files that the test builds itself.

#include <gtest/gtest.h>
#include <zlib.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct DumpRun {
    int status = -1;
    std::string out, err;
};

std::string readAll(const std::string& path)
{
    std::string s;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            s.append(buf, n);
        std::fclose(f);
    }
    return s;
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string deflated(const std::string& text)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()), 9);
    out.resize(size);
    return out;
}

std::string base()
{
    return ::testing::TempDir() + "korthal_dump_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// Writes the table text (code page 1253 bytes) compressed and dumps it.
DumpRun dump(const std::string& tableText, const std::string& options = {})
{
    const std::string b = base();
    writeAll(b + ".tbl", deflated(tableText));
    const std::string cmd = std::string("LC_ALL=C \"") + KORTHAL_CLI + "\" dump \"" + b + ".tbl\" " +
                            options + " > \"" + b + ".out\" 2> \"" + b + ".err\"";
    const int raw = std::system(cmd.c_str());
    DumpRun r;
    r.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readAll(b + ".out");
    r.err = readAll(b + ".err");
    return r;
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
    const DumpRun r = dump(kGysHeader1253 + "\n\"1\",\"\xC1\",\"10,5\",,,,,,,,,,,,,,\"False\",\n" +
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
    const DumpRun r = dump(header + "\r\n\"1\",\"A\",\"1,5\",\r\n\"2\",\"B\",\"2\",\r\n\"3\",\"C\",\"x\",\r\n");
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
    const DumpRun bad = dump(unknown);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("--table"), std::string::npos);
    const DumpRun forced = dump(unknown, "--table reference");
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.out.substr(0, kGysHeaderUtf8.size()), kGysHeaderUtf8);
    EXPECT_EQ(dump(unknown, "--table tables").status, 2);

    const DumpRun rinex = dump("\"epoxh\",\"Date\",\"Hour\",\"min\",\"sec\",\r\n"
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
    const std::string b = base();
    const std::string stream = deflated(text);
    writeAll(b + ".tbl", stream.substr(0, stream.size() / 2));
    const std::string cmd = std::string("\"") + KORTHAL_CLI + "\" dump \"" + b + ".tbl\" > \"" + b +
                            ".out\" 2> \"" + b + ".err\"";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    const std::string out = readAll(b + ".out");
    EXPECT_GT(out.size(), 1000u);
    EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
    EXPECT_NE(readAll(b + ".err").find("record line"), std::string::npos);
}
