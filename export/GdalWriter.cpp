#include "export/GdalWriter.h"

#include "table/Cp1253.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>

namespace korthal {

namespace {

namespace fs = std::filesystem;

// GDAL's messages while one file is written: kept, never printed.
class GdalErrors {
public:
    GdalErrors()
    {
        CPLErrorReset();
        CPLPushErrorHandlerEx(&GdalErrors::handler, this);
    }
    ~GdalErrors() { CPLPopErrorHandler(); }
    GdalErrors(const GdalErrors&) = delete;
    GdalErrors& operator=(const GdalErrors&) = delete;

    bool failed() const { return !failure_.empty(); }
    // The first failure, or `fallback` when GDAL gave none.
    std::string reason(const std::string& fallback) const
    {
        return failure_.empty() ? fallback : failure_;
    }

private:
    static void CPL_STDCALL handler(CPLErr level, CPLErrorNum, const char* msg)
    {
        auto* self = static_cast<GdalErrors*>(CPLGetErrorHandlerUserData());
        if (self && level >= CE_Failure && self->failure_.empty())
            self->failure_ = msg ? msg : "GDAL";
    }
    std::string failure_;
};

struct DatasetCloser {
    void operator()(GDALDataset* ds) const { GDALClose(ds); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetCloser>;

struct FeatureDeleter {
    void operator()(OGRFeature* f) const { OGRFeature::DestroyFeature(f); }
};
using FeaturePtr = std::unique_ptr<OGRFeature, FeatureDeleter>;

const char* driverName(ExportFormat f)
{
    switch (f) {
    case ExportFormat::Shapefile: return "ESRI Shapefile";
    case ExportFormat::GeoPackage: return "GPKG";
    case ExportFormat::DXF: return "DXF";
    case ExportFormat::KML: return "KML";
    case ExportFormat::GeoJSON: return "GeoJSON";
    case ExportFormat::CSV: return "CSV";
    case ExportFormat::Listing: break;
    }
    return "";
}

// The attributes every point carries, in this order. Widths and decimals are
// those of a DBF field (other formats take the decimals only); text widths
// of a Shapefile follow the data.
enum Attr { AName, ADescr, AKind, AE, AN, AH, Ah, AUnd, APhi, ALam, AvE, AvN, AvH, AttrCount };
struct FieldDef {
    const char* name;
    int width;
    int decimals;  // -1 for text
};
constexpr FieldDef kFields[AttrCount] = {
    {"name", 0, -1},       {"descr", 0, -1},      {"kind", 0, -1},
    {"E", 15, 4},          {"N", 15, 4},          {"H", 12, 4},
    {"h_grs80", 12, 4},    {"undulation", 10, 4}, {"phi_grs80", 16, 10},
    {"lam_grs80", 16, 10}, {"vE", 12, 4},         {"vN", 12, 4},
    {"vH", 12, 4},
};
constexpr std::size_t kDbfTextMax = 254;

double rounded(double v, int decimals)
{
    const double k = std::pow(10.0, decimals);
    return std::round(v * k) / k;
}

// Text as a code page 1253 file can hold it (what it cannot hold becomes
// '?', as in the program's own files), cut to `maxBytes`.
std::string asCp1253Text(const std::string& utf8, std::size_t maxBytes, bool* cut = nullptr)
{
    std::string bytes = utf8ToCp1253(utf8);
    if (cut)
        *cut = bytes.size() > maxBytes;
    if (bytes.size() > maxBytes)
        bytes.resize(maxBytes);
    return cp1253ToUtf8(bytes);
}

// Text widths of a Shapefile: the longest value in code page 1253 bytes.
int dbfWidth(const std::vector<ExportPoint>& points, std::string ExportPoint::*member, int least)
{
    std::size_t w = static_cast<std::size_t>(least);
    for (const auto& p : points)
        w = std::max(w, utf8ToCp1253(p.*member).size());
    return static_cast<int>(std::min(w, kDbfTextMax));
}

bool createFields(OGRLayer& layer, ExportFormat format, const std::vector<ExportPoint>& points)
{
    const bool dbf = format == ExportFormat::Shapefile;
    for (int i = 0; i < AttrCount; ++i) {
        const FieldDef& s = kFields[i];
        OGRFieldDefn def(s.name, s.decimals < 0 ? OFTString : OFTReal);
        if (s.decimals >= 0) {
            def.SetWidth(s.width);
            def.SetPrecision(s.decimals);
        } else if (dbf) {
            def.SetWidth(i == AName    ? dbfWidth(points, &ExportPoint::name, 10)
                         : i == ADescr ? dbfWidth(points, &ExportPoint::description, 1)
                                       : 20);
        }
        if (layer.CreateField(&def) != OGRERR_NONE)
            return false;
    }
    return true;
}

void setAttributes(OGRFeature& f, const ExportPoint& p, bool dbf, PointFileReport& report)
{
    // By name: a driver may keep its fields in an order of its own.
    auto index = [&](int i) { return f.GetFieldIndex(kFields[i].name); };
    auto text = [&](int attr, const std::string& s) {
        const int i = index(attr);
        if (i < 0)
            return;
        if (!dbf) {
            f.SetField(i, s.c_str());
            return;
        }
        bool cut = false;
        f.SetField(i, asCp1253Text(s, kDbfTextMax, &cut).c_str());
        if (cut)
            report.descriptionsCut.push_back(p.name);
    };
    auto real = [&](int attr, std::optional<double> v) {
        if (const int i = index(attr); v && i >= 0)
            f.SetField(i, rounded(*v, kFields[attr].decimals));
    };
    text(AName, p.name);
    text(ADescr, p.description);
    text(AKind, pointKindText(p.kind));
    real(AE, p.E);
    real(AN, p.N);
    real(AH, p.H);
    real(Ah, p.h);
    real(AUnd, p.undulation);
    real(APhi, p.phi);
    real(ALam, p.lam);
    if (p.hasResidual) {
        real(AvE, p.vE);
        real(AvN, p.vN);
        real(AvH, p.vH);
    }
}

const char* dxfLayer(PointKind k)
{
    // Greek words in Latin letters (ELOT 743): DXF layer names in plain ASCII.
    switch (k) {
    case PointKind::Network: return "SIMEIA_DIKTYOU";
    case PointKind::Detail: return "SIMEIA_LEPTOMEREION";
    case PointKind::Reference: break;
    }
    return "SIMEIA_ANAFORAS";
}

// The height of the names in a drawing: about a hundredth of the points'
// extent on a 1-2-5 step, so that they read as in the sketch when the whole
// drawing is in view; between 0.5 and 50 m.
double dxfTextHeight(const std::vector<ExportPoint>& points)
{
    double minE = 0, maxE = 0, minN = 0, maxN = 0;
    bool any = false;
    for (const auto& p : points) {
        if (!p.hasEN)
            continue;
        minE = any ? std::min(minE, p.E) : p.E, maxE = any ? std::max(maxE, p.E) : p.E;
        minN = any ? std::min(minN, p.N) : p.N, maxN = any ? std::max(maxN, p.N) : p.N;
        any = true;
    }
    const double wanted = std::max(maxE - minE, maxN - minN) / 100;
    double step = 0.5;
    for (const double s : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0})
        if (s <= wanted)
            step = s;
    return step;
}

bool writeDxfPoint(OGRLayer& layer, const ExportPoint& p, double textHeight)
{
    const double z = p.H.value_or(0.0);
    FeaturePtr point(OGRFeature::CreateFeature(layer.GetLayerDefn()));
    point->SetField("Layer", dxfLayer(p.kind));
    OGRPoint at(p.E, p.N, z);
    point->SetGeometry(&at);
    if (layer.CreateFeature(point.get()) != OGRERR_NONE)
        return false;

    // The name beside the point, its lower left corner a little to the
    // upper right. In the style's quoted text a quote or a backslash is
    // escaped by a backslash.
    std::string name;
    for (const char c : p.name) {
        if (c == '"' || c == '\\')
            name += '\\';
        name += c;
    }
    char style[160];
    std::snprintf(style, sizeof style, "LABEL(f:\"Arial\",s:%gg,p:1,%st:\"", textHeight,
                  p.kind == PointKind::Detail ? "" : "c:#FF0000,");
    FeaturePtr label(OGRFeature::CreateFeature(layer.GetLayerDefn()));
    label->SetField("Layer", dxfLayer(p.kind));
    label->SetStyleString((std::string(style) + name + "\")").c_str());
    OGRPoint corner(p.E + textHeight / 2, p.N + textHeight / 4, z);
    label->SetGeometry(&corner);
    return layer.CreateFeature(label.get()) == OGRERR_NONE;
}

bool writeFeature(OGRLayer& layer, ExportFormat format, const ExportPoint& p,
                  PointFileReport& report)
{
    FeaturePtr f(OGRFeature::CreateFeature(layer.GetLayerDefn()));
    setAttributes(*f, p, format == ExportFormat::Shapefile, report);
    if (format != ExportFormat::CSV) {
        OGRPoint at = formatInfo(format).wgs84 ? OGRPoint(p.lon, p.lat, p.hWGS84)
                                               : OGRPoint(p.E, p.N, p.H.value_or(0.0));
        f->SetGeometry(&at);
    }
    return layer.CreateFeature(f.get()) == OGRERR_NONE;
}

// The spatial reference of HTRS07 TM07, which the EPSG dataset of GDAL's
// PROJ may not hold under a code of its own.
OGRErr setTM07(OGRSpatialReference& srs)
{
    srs.SetProjCS("HTRS07 / TM07");
    OGRErr e = srs.SetGeogCS("HTRS07", "Hellenic_Terrestrial_Reference_System_2007", "GRS 1980",
                             6378137.0, 298.257222101);
    if (e == OGRERR_NONE)
        e = srs.SetTM(0, 24, 0.9996, 500000, -2000000);
    if (e == OGRERR_NONE)
        e = srs.SetLinearUnits(SRS_UL_METER, 1.0);
    if (e == OGRERR_NONE)
        e = srs.SetTOWGS84(0, 0, 0, 0, 0, 0, 0);
    return e;
}

void registerDrivers()
{
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}

// The DBF's text is code page 1253: GDAL converts to it and marks the
// language driver byte (0xCB, 203); the .cpg says the same in words.
bool writeCpg(const std::string& shpPath)
{
    fs::path cpg(shpPath);
    const std::string ext = cpg.extension().string();
    cpg.replace_extension(ext == ".SHP" ? ".CPG" : ".cpg");
    std::FILE* f = std::fopen(cpg.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fputs("1253", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

const std::vector<std::string>& shapefileParts()
{
    static const std::vector<std::string> parts = {".shp", ".shx", ".dbf", ".prj", ".cpg"};
    return parts;
}

const std::vector<std::string>& shapefileIndexes()
{
    static const std::vector<std::string> parts = {".qix", ".sbn", ".sbx", ".qpj"};
    return parts;
}

bool writePointFile(const std::vector<ExportPoint>& points, ExportFormat format,
                    const std::string& path, const ExportLayer& layerName,
                    PointFileReport& report, std::string& error, ExportSystem system)
{
    registerDrivers();
    GdalErrors errors;
    report = {};
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName(format));
    if (!driver) {
        error = std::string("GDAL: no driver ") + driverName(format);
        return false;
    }

    const bool wgs84 = formatInfo(format).wgs84;
    OGRSpatialReference srs;
    const bool tm07 = !wgs84 && system == ExportSystem::TM07;
    if ((tm07 ? setTM07(srs) : srs.importFromEPSG(wgs84 ? 4326 : 2100)) != OGRERR_NONE) {
        error = errors.reason("GDAL: no spatial reference");
        return false;
    }
    // Longitude before latitude, as the files store them.
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);

    CPLStringList datasetOptions, layerOptions;
    switch (format) {
    case ExportFormat::Shapefile:
        layerOptions.SetNameValue("SHPT", "POINTZ");
        layerOptions.SetNameValue("ENCODING", "LDID/203");
        break;
    case ExportFormat::KML:
        datasetOptions.SetNameValue("NameField", kFields[AName].name);
        datasetOptions.SetNameValue("DescriptionField", kFields[ADescr].name);
        break;
    case ExportFormat::GeoJSON:
        layerOptions.SetNameValue("RFC7946", "YES");
        layerOptions.SetNameValue("COORDINATE_PRECISION", "9");
        layerOptions.SetNameValue("SIGNIFICANT_FIGURES", "15");
        break;
    case ExportFormat::CSV:
        layerOptions.SetNameValue("WRITE_BOM", "YES");
        layerOptions.SetNameValue("LINEFORMAT", "CRLF");
        break;
    default: break;
    }

    DatasetPtr ds(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, datasetOptions.List()));
    if (!ds) {
        error = errors.reason("GDAL: cannot create " + path);
        return false;
    }
    const bool titled = format == ExportFormat::KML || format == ExportFormat::GeoJSON;
    const bool located = format != ExportFormat::CSV && format != ExportFormat::DXF;
    OGRLayer* layer = ds->CreateLayer((titled ? layerName.title : layerName.name).c_str(),
                                      located ? &srs : nullptr,
                                      format == ExportFormat::CSV ? wkbNone : wkbPoint25D,
                                      layerOptions.List());
    if (!layer || (format != ExportFormat::DXF && !createFields(*layer, format, points))) {
        error = errors.reason("GDAL: cannot create the layer");
        return false;
    }

    const double textHeight = dxfTextHeight(points);
    for (const auto& p : points) {
        if (!p.placedIn(format))
            continue;
        const bool ok = format == ExportFormat::DXF ? writeDxfPoint(*layer, p, textHeight)
                                                    : writeFeature(*layer, format, p, report);
        if (!ok) {
            error = errors.reason("GDAL: cannot write the point " + p.name);
            return false;
        }
        ++report.written;
    }
    ds.reset();  // closing writes what GDAL still holds
    if (errors.failed()) {
        error = errors.reason("GDAL");
        return false;
    }
    if (format == ExportFormat::Shapefile && !writeCpg(path)) {
        error = "cannot write the .cpg file";
        return false;
    }
    return true;
}

}  // namespace korthal
