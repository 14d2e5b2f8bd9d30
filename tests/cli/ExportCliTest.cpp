// korthal-cli export on a copy of the demo working folder, the files read
// back through GDAL.

#include "support/GdalRead.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace korthal::test;

struct DemoFolder {
    TempDir dir{"cli-export"};
    DemoFolder()
    {
        for (const auto& e :
             fs::directory_iterator(fs::path(KORTHAL_SOURCE_DIR) / "examples" / "demo"))
            fs::copy_file(e.path(), dir.path / e.path().filename());
    }
    std::set<std::string> files() const
    {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(dir.path))
            out.insert(e.path().filename().string());
        return out;
    }
};

TEST(CliExport, TheExtensionChoosesTheFormatAndTheTable)
{
    DemoFolder d;
    CliResult r = runCli("export DEMO.WGS84 --out σημεία.shp", {}, d.dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("36 points written"), std::string::npos);
    ReadFile f = readBack(d.dir.file("σημεία.shp"));
    EXPECT_EQ(f.epsg, 2100);
    ASSERT_EQ(f.features.size(), 36u);
    EXPECT_EQ(f.features[0].field("name"), "Σ101");

    r = runCli("export DEMO.WGS84 --table reference --out=trig.geojson", {}, d.dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    f = readBack(d.dir.file("trig.geojson"));
    EXPECT_EQ(f.driver, "GeoJSON");
    ASSERT_EQ(f.features.size(), 10u);
    EXPECT_EQ(f.features[0].field("kind"), "σημείο αναφοράς");

    // An existing file is replaced, as --help says.
    r = runCli("export DEMO.WGS84 --out trig.geojson", {}, d.dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readBack(d.dir.file("trig.geojson")).features.size(), 36u);
    EXPECT_NE(runCli("export --help").out.find("replaced without"), std::string::npos);

    // E, N in TM07, the system declared beside them.
    r = runCli("export DEMO.WGS84 --out tm07.gpkg --system tm07", {}, d.dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    f = readBack(d.dir.file("tm07.gpkg"));
    ASSERT_EQ(f.features.size(), 36u);
    EXPECT_NE(f.proj.find("+lon_0=24"), std::string::npos) << f.proj;
    EXPECT_NEAR(f.features[0].y, readBack(d.dir.file("σημεία.shp")).features[0].y - 2000000, 500);
}

TEST(CliExport, AnUnknownExtensionOrAMissingNetworkWritesNothing)
{
    DemoFolder d;
    const auto before = d.files();
    CliResult r = runCli("export DEMO.WGS84 --out points.json", {}, d.dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("points.json"), std::string::npos);
    r = runCli("export MISSING.WGS84 --out points.kml", {}, d.dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("MISSING.WGS84"), std::string::npos);
    EXPECT_EQ(d.files(), before);

    // Arguments that make no command.
    EXPECT_EQ(runCli("export DEMO.WGS84", {}, d.dir.path).status, 2);
    EXPECT_EQ(runCli("export DEMO.WGS84 --out a.kml --table all", {}, d.dir.path).status, 2);
    EXPECT_EQ(runCli("export DEMO.WGS84 --out a.kml --system tm07", {}, d.dir.path).status, 2);
    EXPECT_EQ(runCli("export DEMO.WGS84 --out a.shp --system tm87", {}, d.dir.path).status, 2);
    EXPECT_EQ(d.files(), before);
}

}  // namespace
