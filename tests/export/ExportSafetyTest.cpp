// What the export does around the writing: file names and types, the
// question before replacing, points it cannot place, and failures that must
// leave the folder as it was.

#include "export/DemoExport.h"

#include <algorithm>

namespace korthal::test {
namespace {

namespace fs = std::filesystem;

TEST(ExportFormats, TheExtensionNamesTheFormatAndTheChosenTypeCompletesAName)
{
    EXPECT_EQ(exportFormatOfPath("a/b.SHP"), ExportFormat::Shapefile);
    EXPECT_EQ(exportFormatOfPath("b.GeoJSON"), ExportFormat::GeoJSON);
    EXPECT_EQ(exportFormatOfPath("b.txt"), ExportFormat::Listing);
    EXPECT_FALSE(exportFormatOfPath("b.json"));
    EXPECT_FALSE(exportFormatOfPath("b"));
    EXPECT_FALSE(exportFormatOfPath("shp"));

    // A typed extension of a format wins; any other name gets the type's.
    EXPECT_EQ(resolveExportTarget("x.kml", ExportFormat::Shapefile).format, ExportFormat::KML);
    const ExportTarget t = resolveExportTarget("job.v2", ExportFormat::GeoPackage);
    EXPECT_EQ(t.path, "job.v2.gpkg");
    EXPECT_EQ(t.format, ExportFormat::GeoPackage);
    EXPECT_EQ(resolveExportTarget("job", ExportFormat::Listing).path, "job.TXT");

    // TM07 where the format has plane coordinates, else EGSA87 or WGS84.
    const struct {
        const char* typed;
        ExportFormat chosen;
        ExportFormat format;
        ExportSystem system;
    } systems[] = {
        {"a", ExportFormat::GeoPackage, ExportFormat::GeoPackage, ExportSystem::TM07},
        {"a.dxf", ExportFormat::Shapefile, ExportFormat::DXF, ExportSystem::TM07},
        {"a.kml", ExportFormat::Shapefile, ExportFormat::KML, ExportSystem::EGSA87},
        {"a.txt", ExportFormat::CSV, ExportFormat::Listing, ExportSystem::EGSA87},
    };
    for (const auto& c : systems) {
        const ExportTarget s = resolveExportTarget(c.typed, c.chosen, ExportSystem::TM07);
        EXPECT_EQ(s.format, c.format) << c.typed;
        EXPECT_EQ(s.system, c.system) << c.typed;
    }

    // A Shapefile is five files, in the case of its ".shp".
    EXPECT_EQ(exportFiles("d/P.SHP", ExportFormat::Shapefile),
              (std::vector<std::string>{"d/P.SHP", "d/P.SHX", "d/P.DBF", "d/P.PRJ", "d/P.CPG"}));
    EXPECT_EQ(exportFiles("d/p.kml", ExportFormat::KML), std::vector<std::string>{"d/p.kml"});
}

TEST_F(DemoExport, ReplacingAShapefileReplacesAllItsFilesAndDropsItsOldIndex)
{
    writeBytes(temp.path / "pts.shp", "old");
    writeBytes(temp.path / "pts.dbf", "old");
    writeBytes(temp.path / "pts.qix", "old index");
    writeBytes(temp.path / "pts.txt", "a file of the user's");
    const ReadFile f = exported("pts.shp");
    EXPECT_EQ(f.features.size(), 36u);
    EXPECT_FALSE(fs::exists(temp.path / "pts.qix"));
    EXPECT_EQ(readBytes(temp.path / "pts.txt"), "a file of the user's");
    EXPECT_FALSE(stagingLeft());
}

TEST_F(DemoExport, AFailedExportLeavesTheFolderAsItWas)
{
    // A folder that does not exist.
    ExportResult r = exportTableTo(doc, true, temp.file("none/pts.geojson"), ExportFormat::GeoJSON);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_FALSE(fs::exists(temp.path / "none"));

    // One of a Shapefile's files cannot be replaced: none of them is.
    writeBytes(temp.path / "pts.shp", "old shp");
    fs::create_directory(temp.path / "pts.dbf");
    writeBytes(temp.path / "pts.dbf" / "inside", "x");
    r = exportTableTo(doc, true, temp.file("pts.shp"), ExportFormat::Shapefile);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(readBytes(temp.path / "pts.shp"), "old shp");
    EXPECT_FALSE(fs::exists(temp.path / "pts.shx"));
    EXPECT_FALSE(fs::exists(temp.path / "pts.cpg"));
    EXPECT_FALSE(stagingLeft());
}

TEST_F(DemoExport, PointsWithoutCoordinatesAreLeftOutAndNamed)
{
    MemTable& g = doc.GPS();
    const Rec r = g.appendRecord();
    g.setString(r, gps::Name, "Κ99");  // a detail point not measured yet
    const ReadFile f = exported("pts.gpkg");
    EXPECT_EQ(f.features.size(), 36u);
    EXPECT_EQ(last.written, 36);
    EXPECT_EQ(last.leftOut, std::vector<std::string>{"Κ99"});

    // A table with no point to place writes nothing.
    Document empty;
    const ExportResult e = exportTableTo(empty, true, temp.file("empty.kml"), ExportFormat::KML);
    EXPECT_FALSE(e.ok);
    EXPECT_TRUE(e.nothingPlaced);
    EXPECT_FALSE(fs::exists(temp.path / "empty.kml"));
}

TEST_F(DemoExport, TheButtonAsksForTheFileItsTypeAndBeforeReplacing)
{
    doc.CurrentFileName = temp.file("DEMO.WGS84");
    const auto shapefile = static_cast<int>(ExportFormat::Shapefile);
    ASSERT_EQ(exportFormats()[static_cast<std::size_t>(shapefile)].format, ExportFormat::Shapefile);

    // Cancelled: nothing is written. The listing's name is offered first.
    EXPECT_FALSE(exportTable(doc, true));
    EXPECT_EQ(dialogs.entries.back().text, temp.file("DEMO.TXT"));
    EXPECT_EQ(dialogs.entries.back().caption, "Αποθήκευση του πίνακακορυφών του δικτύου");

    // A name without extension, the Shapefile type chosen.
    dialogs.inputs.push_back(temp.file("σημεία"));
    dialogs.fileTypes.push_back(shapefile);
    auto r = exportTable(doc, true);
    ASSERT_TRUE(r && r->ok);
    EXPECT_EQ(r->path, temp.file("σημεία.shp"));
    EXPECT_EQ(readBack(r->path).features.size(), 36u);
    EXPECT_NE(dialogs.messages().back().find("36 σημεία"), std::string::npos);
    EXPECT_EQ(dialogs.entries.back().icon, MsgIcon::Information);

    // Again: the question comes first; No keeps the files.
    const std::string dbf = readBytes(temp.path / "σημεία.dbf");
    writeBytes(temp.path / "σημεία.shp", "kept");
    dialogs.inputs.push_back(temp.file("σημεία.shp"));
    dialogs.answers.push_back(Answer::No);
    EXPECT_FALSE(exportTable(doc, true));
    EXPECT_EQ(dialogs.entries.back().text, replaceQuestion(temp.file("σημεία.shp")));
    EXPECT_EQ(readBytes(temp.path / "σημεία.shp"), "kept");

    // A file of the Shapefile alone counts; Yes replaces them all.
    fs::remove(temp.path / "σημεία.shp");
    dialogs.inputs.push_back(temp.file("σημεία.shp"));
    dialogs.answers.push_back(Answer::Yes);
    r = exportTable(doc, true);
    ASSERT_TRUE(r && r->ok);
    EXPECT_EQ(readBytes(temp.path / "σημεία.dbf"), dbf);
    EXPECT_EQ(readBack(temp.file("σημεία.shp")).features.size(), 36u);

    // The Shapefile in TM07, from its own entry in the list.
    const auto& choices = exportChoices();
    const auto tm07 = std::find_if(choices.begin(), choices.end(), [](const ExportChoice& c) {
        return c.format == ExportFormat::Shapefile && c.system == ExportSystem::TM07;
    });
    ASSERT_NE(tm07, choices.end());
    EXPECT_EQ(tm07->label, "ESRI Shapefile, HTRS07 (TM07)");
    dialogs.inputs.push_back(temp.file("tm07"));
    dialogs.fileTypes.push_back(static_cast<int>(tm07 - choices.begin()));
    r = exportTable(doc, true);
    ASSERT_TRUE(r && r->ok);
    EXPECT_EQ(r->path, temp.file("tm07.shp"));
    EXPECT_NE(readBack(r->path).proj.find("+y_0=-2000000"), std::string::npos);

    // The listing keeps its name for the viewer.
    dialogs.inputs.push_back(temp.file("list"));
    r = exportTable(doc, false);
    ASSERT_TRUE(r && r->ok);
    EXPECT_EQ(r->format, ExportFormat::Listing);
    EXPECT_EQ(doc.LastTextFile, temp.file("list.TXT"));
    EXPECT_TRUE(fs::exists(temp.path / "list.TXT"));
}

TEST_F(DemoExport, AnExportThatCannotBeWrittenSaysSo)
{
    dialogs.inputs.push_back(temp.file("none/pts.kml"));
    const auto r = exportTable(doc, true);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->ok);
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_EQ(dialogs.messages().back().rfind(Document::saveErrorMessage(temp.file("none/pts.kml")), 0),
              0u);
}

}  // namespace
}  // namespace korthal::test
