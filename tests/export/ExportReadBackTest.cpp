// Each format written from the demo network and read back through GDAL, as a
// GIS or CAD user's program reads it.

#include "export/DemoExport.h"
#include "geodesy/HeposModel.h"

#include <cmath>
#include <map>

namespace korthal::test {
namespace {

constexpr double kMetre = 0.001;     // 1 mm
constexpr double kDegree = 0.00000001;  // 1e-8°, about 1 mm

const ReferenceResidual* residualNamed(const Document& doc, const std::string& name)
{
    for (const auto& r : doc.residuals())
        if (r.name == name)
            return &r;
    return nullptr;
}

// The attributes and positions of a file in EGSA87 against the table.
void expectEgsa87Table(const Document& doc, const ReadFile& f, bool geometry,
                       bool network = true)
{
    const MemTable& table = network ? doc.GPS() : doc.GYS();
    const int nameField = network ? int(gps::Name) : int(gys::Name);
    const int eField = network ? int(gps::E) : int(gys::E);
    const auto recs = [&] {
        std::vector<Rec> out;
        for (int row = 0; row < table.recordCount(); ++row)
            out.push_back(table.recAt(row));
        return out;
    }();
    ASSERT_EQ(f.features.size(), recs.size()) << f.driver;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        const ReadFeature& p = f.features[i];
        const Rec r = recs[i];
        SCOPED_TRACE(f.driver + " " + p.field("name"));
        EXPECT_EQ(p.field("name"), table.getString(r, nameField));
        EXPECT_EQ(p.field("descr"), table.getString(r, network ? int(gps::Perigrafh) : int(gys::Perigrafh)));
        const double E = table.getFloat(r, eField), N = table.getFloat(r, eField + 1),
                     H = table.getFloat(r, eField + 2);
        EXPECT_NEAR(p.number("E"), E, kMetre);
        EXPECT_NEAR(p.number("N"), N, kMetre);
        EXPECT_NEAR(p.number("H"), H, kMetre);
        EXPECT_NEAR(p.number("h_grs80") - p.number("undulation"), H, kMetre);
        if (geometry) {
            ASSERT_TRUE(p.hasPoint);
            EXPECT_NEAR(p.x, E, kMetre);
            EXPECT_NEAR(p.y, N, kMetre);
            EXPECT_NEAR(p.z, H, kMetre);
        }
        // φ, λ of GRS80 agree with E, N through the projection.
        const TM87 back = EllipsoidalToTM87(p.number("phi_grs80") * kPi / 180,
                                            p.number("lam_grs80") * kPi / 180, 0, 0);
        EXPECT_NEAR(static_cast<double>(back.E), E, 0.002);
        EXPECT_NEAR(static_cast<double>(back.N), N, 0.002);

        const bool detail = network && table.getBoolean(r, gps::detailPoint);
        EXPECT_EQ(p.field("kind"), !network ? "σημείο αναφοράς"
                                   : detail ? "σημείο λεπτομερειών"
                                            : "σημείο δικτύου");
        const ReferenceResidual* res = residualNamed(doc, p.field("name"));
        if (res && res->used && !detail) {
            EXPECT_NEAR(p.number("vE"), res->vE, 0.00006);
            EXPECT_NEAR(p.number("vN"), res->vN, 0.00006);
            EXPECT_NEAR(p.number("vH"), res->vH, 0.00006);
        } else {
            EXPECT_FALSE(p.has("vE") || p.has("vN") || p.has("vH"));
        }
    }
}

TEST_F(DemoExport, ShapefileIsEgsa87WithGreekTextInCodePage1253)
{
    ASSERT_EQ(doc.GPS().recordCount(), 36);
    ASSERT_EQ(doc.RefPointCount, 6);
    const ReadFile f = exported("ΣΗΜΕΙΑ.shp");
    EXPECT_EQ(f.driver, "ESRI Shapefile");
    EXPECT_EQ(f.epsg, 2100);
    expectEgsa87Table(doc, f, true);
    EXPECT_EQ(last.written, 36);

    // The text is code page 1253, said by the DBF's language driver byte
    // and by the .cpg; the .prj is that of EPSG:2100.
    EXPECT_EQ(readBytes(temp.path / "ΣΗΜΕΙΑ.cpg"), "1253");
    const std::string dbf = readBytes(temp.path / "ΣΗΜΕΙΑ.dbf");
    ASSERT_GT(dbf.size(), 32u);
    EXPECT_EQ(static_cast<unsigned char>(dbf[29]), 0xCB);
    EXPECT_NE(dbf.find("\xD3\x31\x30\x31"), std::string::npos);  // "Σ101" in code page 1253
    EXPECT_NE(readBytes(temp.path / "ΣΗΜΕΙΑ.prj").find("GGRS_1987"), std::string::npos);
    EXPECT_FALSE(stagingLeft());
}

// In TM07 the files hold the HEPOS model's E, N of the table's TM87 and
// declare the system; the HEPOS manual's point comes out as published, and
// a point outside the model's grid is named, not written.
TEST_F(DemoExport, Tm07FilesHoldTheHeposModelsCoordinatesAndDeclareTm07)
{
    MemTable& g = doc.GPS();
    const Rec manual = g.appendRecord();
    g.setString(manual, gps::Name, "HEPOS");
    g.setFloat(manual, gps::E, 566296.537);
    g.setFloat(manual, gps::N, 4529332.307);
    g.setFloat(manual, gps::H, 6.501);  // GGRS87 h, with no undulation
    g.setBoolean(manual, gps::detailPoint, true);
    const Rec outside = g.appendRecord();
    g.setString(outside, gps::Name, "ΕΚΤΟΣ");
    g.setFloat(outside, gps::E, 905000);
    g.setFloat(outside, gps::N, 4300000);
    g.setBoolean(outside, gps::detailPoint, true);
    std::map<std::string, ExportPoint> egsa;
    for (const ExportPoint& p : exportPoints(doc, true))
        egsa[p.name] = p;

    for (const std::string name : {"tm07.shp", "tm07.gpkg", "tm07.csv"}) {
        SCOPED_TRACE(name);
        last = exportTableTo(doc, true, temp.file(name), *exportFormatOfPath(name),
                             ExportSystem::TM07);
        ASSERT_TRUE(last.ok) << last.error;
        EXPECT_EQ(last.outsideGrid, std::vector<std::string>{"ΕΚΤΟΣ"});
        EXPECT_TRUE(last.leftOut.empty());
        const ReadFile f = readBack(temp.file(name));
        ASSERT_EQ(f.features.size(), 37u);
        if (name != "tm07.csv") {
            for (const char* term : {"+proj=tmerc", "+lat_0=0", "+lon_0=24", "+k=0.9996",
                                     "+x_0=500000", "+y_0=-2000000", "+ellps=GRS80"})
                EXPECT_NE(f.proj.find(term), std::string::npos) << term << " in " << f.proj;
        }
        for (const ReadFeature& p : f.features) {
            const ExportPoint& t = egsa.at(p.field("name"));
            SCOPED_TRACE(t.name);
            // TM07 lies 2 000 km south of TM87, less than a kilometre away
            // over Greece; H stays.
            EXPECT_NEAR(p.number("N"), t.N - 2000000, 500);
            EXPECT_NEAR(p.number("E"), t.E, 500);
            EXPECT_NEAR(p.number("H"), t.H.value_or(0), kMetre);
            if (p.hasPoint) {
                EXPECT_NEAR(p.x, p.number("E"), kMetre);
                EXPECT_NEAR(p.y, p.number("N"), kMetre);
            }
            if (t.name == "HEPOS") {
                EXPECT_NEAR(p.number("E"), 566446.108, kMetre);
                EXPECT_NEAR(p.number("N"), 2529618.096, kMetre);
            }
        }
    }

    // The formats in WGS84 and the listing have no TM07: they stay as they were.
    last = exportTableTo(doc, true, temp.file("w.kml"), ExportFormat::KML, ExportSystem::TM07);
    EXPECT_TRUE(last.ok && last.outsideGrid.empty());
}

TEST_F(DemoExport, GeoPackageAndCsvCarryTheSameAttributes)
{
    const ReadFile g = exported("points.gpkg");
    EXPECT_EQ(g.driver, "GPKG");
    EXPECT_EQ(g.epsg, 2100);
    EXPECT_EQ(g.layerName, "simeia_diktyou");
    expectEgsa87Table(doc, g, true);

    const ReadFile c = exported("points.csv");
    EXPECT_EQ(c.driver, "CSV");
    expectEgsa87Table(doc, c, false);
    const std::string bytes = readBytes(temp.path / "points.csv");
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");  // UTF-8, said to a spreadsheet
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);

    // The reference table the same way.
    const ReadFile r = exported("reference.gpkg", false);
    EXPECT_EQ(r.layerName, "simeia_anaforas");
    expectEgsa87Table(doc, r, true, false);
}

TEST_F(DemoExport, DxfHasALayerPerKindAndEachNameBesideItsPoint)
{
    // A quote and a backslash are the name's own, not the drawing's codes.
    doc.GPS().setString(doc.GPS().recAt(35), gps::Name, "Κ\"3\\0");
    const ReadFile f = exported("drawing.dxf");
    EXPECT_EQ(f.driver, "DXF");
    const auto recs = records(true);
    ASSERT_EQ(f.features.size(), 2 * recs.size());
    std::map<std::string, int> perLayer;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        const ReadFeature& point = f.features[2 * i];
        const ReadFeature& label = f.features[2 * i + 1];
        const MemTable& t = doc.GPS();
        const std::string name = t.getString(recs[i], gps::Name);
        SCOPED_TRACE(name);
        EXPECT_NE(point.field("SubClasses").find("AcDbPoint"), std::string::npos);
        EXPECT_NEAR(point.x, t.getFloat(recs[i], gps::E), kMetre);
        EXPECT_NEAR(point.y, t.getFloat(recs[i], gps::N), kMetre);
        EXPECT_NEAR(point.z, t.getFloat(recs[i], gps::H), kMetre);
        EXPECT_EQ(label.field("Text"), name);
        EXPECT_EQ(label.field("Layer"), point.field("Layer"));
        // Beside the point: a little to the right and above.
        EXPECT_GT(label.x, point.x);
        EXPECT_LT(label.x - point.x, 100);
        EXPECT_GT(label.y, point.y);
        EXPECT_EQ(point.field("Layer"), t.getBoolean(recs[i], gps::detailPoint)
                                            ? "SIMEIA_LEPTOMEREION"
                                            : "SIMEIA_DIKTYOU");
        ++perLayer[point.field("Layer")];
    }
    EXPECT_EQ(perLayer["SIMEIA_DIKTYOU"], 6);
    EXPECT_EQ(perLayer["SIMEIA_LEPTOMEREION"], 30);

    const ReadFile r = exported("reference.dxf", false);
    ASSERT_FALSE(r.features.empty());
    for (const auto& p : r.features)
        EXPECT_EQ(p.field("Layer"), "SIMEIA_ANAFORAS");
}

// KML and GeoJSON: WGS84 longitude, latitude and ellipsoidal height of the
// measurement.
void expectMeasuredWgs84(const Document& doc, const std::vector<Rec>& recs, const ReadFile& f)
{
    ASSERT_EQ(f.features.size(), recs.size()) << f.driver;
    ASSERT_TRUE(f.epsg == 4326 || f.epsg == 4979) << f.driver;
    const MemTable& t = doc.GPS();
    for (std::size_t i = 0; i < recs.size(); ++i) {
        const ReadFeature& p = f.features[i];
        const Rec r = recs[i];
        const double X = t.getFloat(r, gps::X), Y = t.getFloat(r, gps::Y), Z = t.getFloat(r, gps::Z);
        SCOPED_TRACE(f.driver + " " + t.getString(r, gps::Name));
        EXPECT_EQ(p.field("name"), t.getString(r, gps::Name));
        // The geocentric position of the file's coordinates is the measured one.
        const Geocentric g = EllipsoidalToGeocentric(WGS84, p.y * kPi / 180, p.x * kPi / 180, p.z);
        EXPECT_NEAR(static_cast<double>(g.X), X, kMetre);
        EXPECT_NEAR(static_cast<double>(g.Y), Y, kMetre);
        EXPECT_NEAR(static_cast<double>(g.Z), Z, kMetre);
        const Geographic w = GeocentricToEllipsoidal(WGS84, X, Y, Z);
        EXPECT_NEAR(p.y, static_cast<double>(w.phi * 180 / kPi), kDegree);
        EXPECT_NEAR(p.x, static_cast<double>(w.lambda * 180 / kPi), kDegree);
        EXPECT_NEAR(p.z, static_cast<double>(w.h), kMetre);
        EXPECT_NEAR(p.number("E"), t.getFloat(r, gps::E), kMetre);
    }
}

TEST_F(DemoExport, KmlAndGeoJsonCarryTheMeasuredWgs84Position)
{
    ASSERT_TRUE(doc.InputIsGeocentric());
    const auto recs = records(true);
    const ReadFile k = exported("map.kml");
    expectMeasuredWgs84(doc, recs, k);
    EXPECT_EQ(k.features[0].field("description"), doc.GPS().getString(recs[0], gps::Perigrafh));
    const ReadFile j = exported("map.geojson");
    EXPECT_EQ(j.driver, "GeoJSON");
    expectMeasuredWgs84(doc, recs, j);
    EXPECT_EQ(j.features[0].field("descr"), doc.GPS().getString(recs[0], gps::Perigrafh));
    // RFC 7946: longitude first, no "crs" member.
    const std::string text = readBytes(temp.path / "map.geojson");
    EXPECT_EQ(text.find("\"crs\""), std::string::npos);
    EXPECT_NE(text.find("\"coordinates\": [ 22."), std::string::npos);

    // The same network entered as φ, λ, h is at the same places.
    ASSERT_TRUE(doc.SwitchInputForm(InputForm::Ellipsoidal));
    const ReadFile e = exported("map2.geojson");
    ASSERT_EQ(e.features.size(), j.features.size());
    for (std::size_t i = 0; i < e.features.size(); ++i) {
        EXPECT_NEAR(e.features[i].x, j.features[i].x, kDegree);
        EXPECT_NEAR(e.features[i].y, j.features[i].y, kDegree);
        EXPECT_NEAR(e.features[i].z, j.features[i].z, kMetre);
    }
}

TEST_F(DemoExport, PointsWithoutMeasurementGetWgs84ByTheInverseDatumShift)
{
    // The reference table holds no WGS84 coordinates: back through the datum
    // shift and the projection, every point is where the table has it.
    const ReadFile f = exported("reference.geojson", false);
    const auto recs = records(false);
    ASSERT_EQ(f.features.size(), recs.size());
    int withResidual = 0;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        const ReadFeature& p = f.features[i];
        const MemTable& t = doc.GYS();
        SCOPED_TRACE(p.field("name"));
        EXPECT_EQ(p.field("name"), t.getString(recs[i], gys::Name));
        EXPECT_EQ(p.field("kind"), "σημείο αναφοράς");
        const TM87 back = wgs84ToEgsa87(doc.datumShifts(), p.x, p.y, p.z,
                                        t.getFloat(recs[i], gys::apoxh));
        EXPECT_NEAR(static_cast<double>(back.E), t.getFloat(recs[i], gys::E), kMetre);
        EXPECT_NEAR(static_cast<double>(back.N), t.getFloat(recs[i], gys::N), kMetre);
        EXPECT_NEAR(static_cast<double>(back.H), t.getFloat(recs[i], gys::H), kMetre);
        withResidual += p.has("vE");
    }
    // The reference points measured in the network carry their residuals.
    EXPECT_EQ(withResidual, doc.RefPointCount);

    // A reference point of the network whose measurement is removed.
    MemTable& g = doc.GPS();
    const Rec r = g.recAt(0);
    ASSERT_FALSE(g.getBoolean(r, gps::detailPoint));
    for (int field : {int(gps::X), int(gps::Y), int(gps::Z)})
        g.setFloat(r, field, 0);
    const ReadFile n = exported("network.kml");
    ASSERT_FALSE(n.features.empty());
    const ReadFeature& p = n.features[0];
    EXPECT_EQ(p.field("name"), g.getString(r, gps::Name));
    const TM87 back = wgs84ToEgsa87(doc.datumShifts(), p.x, p.y, p.z, g.getFloat(r, gps::apoxh));
    EXPECT_NEAR(static_cast<double>(back.E), g.getFloat(r, gps::E), kMetre);
    EXPECT_NEAR(static_cast<double>(back.N), g.getFloat(r, gps::N), kMetre);
}

}  // namespace
}  // namespace korthal::test
