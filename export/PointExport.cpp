#include "export/PointExport.h"

#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/HeposModel.h"
#include "geodesy/TM87.h"
#include "network/PointTables.h"
#include "project/Document.h"
#include "table/TextUtil.h"

#include <filesystem>

namespace korthal {

namespace {

double degrees(Extended radians)
{
    return static_cast<double>(radians * 180 / kPi);
}

// The GRS80 position of a point from E, N, H and its undulation, or from the
// reference table's own φ, λ, h when it holds them.
void setGRS80(ExportPoint& p, Extended phi, Extended lam, Extended h)
{
    p.phi = degrees(phi);
    p.lam = degrees(lam);
    if (p.H)
        p.h = static_cast<double>(h);
}

// The WGS84 position from GRS80 (EGSA87) ellipsoidal coordinates by the
// inverse of the datum shift the network computation uses.
void setWGS84FromEGSA87(ExportPoint& p, const DatumShiftTable& shifts, Extended phi,
                        Extended lam, Extended h)
{
    const Geocentric g = EllipsoidalToGeocentric(EGSA87, phi, lam, h);
    double X = static_cast<double>(g.X), Y = static_cast<double>(g.Y), Z = static_cast<double>(g.Z);
    ShiftEGSA87ToWGS84(shifts, X, Y, Z);
    const Geographic w = GeocentricToEllipsoidal(WGS84, X, Y, Z);
    p.hasWGS84 = true;
    p.lat = degrees(w.phi);
    p.lon = degrees(w.lambda);
    // Without a height the derived one means nothing.
    p.hWGS84 = p.H ? static_cast<double>(w.h) : 0.0;
}

// E, N, H and the GRS80 coordinates derived from them.
void setEGSA87(ExportPoint& p, const MemTable& t, Rec r, int fieldE, int fieldN, int fieldH,
               int fieldUndulation)
{
    p.undulation = t.getFloat(r, fieldUndulation);
    p.H = enteredValue(t, r, fieldH);
    const auto E = enteredValue(t, r, fieldE), N = enteredValue(t, r, fieldN);
    if (!E || !N)
        return;
    p.hasEN = true;
    p.E = *E;
    p.N = *N;
}

ExportPoint networkPoint(const Document& doc, const MemTable& t, Rec r)
{
    ExportPoint p;
    p.name = t.getString(r, gps::Name);
    p.description = t.getString(r, gps::Perigrafh);
    p.kind = t.getBoolean(r, gps::detailPoint) ? PointKind::Detail : PointKind::Network;
    setEGSA87(p, t, r, gps::E, gps::N, gps::H, gps::apoxh);
    Geographic g;
    if (p.hasEN) {
        g = TM87ToEllipsoidal(p.E, p.N, p.H.value_or(0.0), p.undulation);
        setGRS80(p, g.phi, g.lambda, g.h);
    }

    if (const auto m = measurementOf(t, r)) {
        // The measured position, geocentric or packed φ, λ and h.
        const double X = m->a, Y = m->b, Z = m->c;
        p.hasWGS84 = p.wgs84Measured = true;
        if (doc.InputIsGeocentric()) {
            const Geographic w = GeocentricToEllipsoidal(WGS84, X, Y, Z);
            p.lat = degrees(w.phi);
            p.lon = degrees(w.lambda);
            p.hWGS84 = static_cast<double>(w.h);
        } else {
            p.lat = degrees(DMSToRad(X));
            p.lon = degrees(DMSToRad(Y));
            p.hWGS84 = Z;
        }
    } else if (p.hasEN) {
        setWGS84FromEGSA87(p, doc.datumShifts(), g.phi, g.lambda, g.h);
    }

    if (const ReferenceResidual* res = doc.residualOf(t.getInteger(r, gps::ID)); res && res->used) {
        p.hasResidual = true;
        p.vE = res->vE;
        p.vN = res->vN;
        if (doc.Use3D && res->withHeight)
            p.vH = res->vH;
    }
    return p;
}

ExportPoint referencePoint(const Document& doc, const MemTable& t, Rec r)
{
    ExportPoint p;
    p.name = t.getString(r, gys::Name);
    p.description = t.getString(r, gys::Perigrafh);
    p.kind = PointKind::Reference;
    setEGSA87(p, t, r, gys::E, gys::N, gys::H, gys::apoxh);
    if (p.hasEN) {
        // The table's own φ, λ, h when it holds them (they may have been
        // typed, with E, N, H derived), else derived from E, N, H.
        const auto phi = enteredValue(t, r, gys::f), lambda = enteredValue(t, r, gys::l);
        const Geographic g = phi && lambda
                                 ? Geographic{*phi, *lambda, t.getFloat(r, gys::ortho)}
                                 : TM87ToEllipsoidal(p.E, p.N, p.H.value_or(0.0), p.undulation);
        setGRS80(p, g.phi, g.lambda, g.h);
        setWGS84FromEGSA87(p, doc.datumShifts(), g.phi, g.lambda, g.h);
    }
    // A reference point measured in the network carries the residual it
    // left in the estimation.
    for (const ReferenceResidual& res : doc.residuals()) {
        if (res.used && res.name == p.name) {
            p.hasResidual = true;
            p.vE = res.vE;
            p.vN = res.vN;
            if (doc.Use3D && res.withHeight)
                p.vH = res.vH;
            break;
        }
    }
    return p;
}

// E, N of TM87 to TM07 by the HEPOS model, from the GGRS87 ellipsoidal
// height (that of a height of 0 when the point has none: its effect on E, N
// is below a millimetre for a hundred metres).
void toTM07(ExportPoint& p)
{
    if (!p.hasEN)
        return;
    const Extended h = p.h.value_or(p.undulation);
    const HeposPoint<Extended> r = HeposModel::builtIn().toTM07<Extended>(p.E, p.N, h);
    if (r.status != HeposStatus::Ok) {
        p.hasEN = false;
        p.outsideGrid = true;
        return;
    }
    p.E = static_cast<double>(r.E);
    p.N = static_cast<double>(r.N);
}

}  // namespace

const std::vector<ExportFormatInfo>& exportFormats()
{
    static const std::vector<ExportFormatInfo> list = {
        {ExportFormat::Listing, "TXT", "Κατάσταση σημείων, κείμενο", false},
        {ExportFormat::Shapefile, "shp", "ESRI Shapefile, ΕΓΣΑ87", false},
        {ExportFormat::GeoPackage, "gpkg", "GeoPackage, ΕΓΣΑ87", false},
        {ExportFormat::DXF, "dxf", "Σχέδιο DXF, ΕΓΣΑ87", false},
        {ExportFormat::KML, "kml", "KML (Google Earth), WGS84", true},
        {ExportFormat::GeoJSON, "geojson", "GeoJSON, WGS84", true},
        {ExportFormat::CSV, "csv", "Πίνακας CSV, ΕΓΣΑ87", false},
    };
    return list;
}

const ExportFormatInfo& formatInfo(ExportFormat f)
{
    for (const auto& i : exportFormats())
        if (i.format == f)
            return i;
    return exportFormats().front();
}

bool takesPlaneSystem(ExportFormat f)
{
    return f != ExportFormat::Listing && !formatInfo(f).wgs84;
}

const std::vector<ExportChoice>& exportChoices()
{
    static const std::vector<ExportChoice> list = [] {
        std::vector<ExportChoice> out;
        for (const auto& i : exportFormats())
            out.push_back({i.format, ExportSystem::EGSA87, i.label});
        const std::string egsa = ", ΕΓΣΑ87";
        for (const auto& i : exportFormats()) {
            if (!takesPlaneSystem(i.format))
                continue;
            std::string label = i.label;
            label.replace(label.rfind(egsa), egsa.size(), ", HTRS07 (TM07)");
            out.push_back({i.format, ExportSystem::TM07, label});
        }
        return out;
    }();
    return list;
}

std::optional<ExportFormat> exportFormatOfPath(const std::string& path)
{
    const std::string ext = std::filesystem::path(path).extension().string();
    if (ext.size() < 2)
        return std::nullopt;
    for (const auto& i : exportFormats())
        if (equalsNoCase(std::string_view(ext).substr(1), i.extension))
            return i.format;
    return std::nullopt;
}

ExportTarget resolveExportTarget(const std::string& typed, ExportFormat chosen,
                                 ExportSystem system)
{
    ExportTarget t{typed + "." + formatInfo(chosen).extension, chosen, system};
    if (const auto f = exportFormatOfPath(typed))
        t = {typed, *f, system};
    if (!takesPlaneSystem(t.format))
        t.system = ExportSystem::EGSA87;
    return t;
}

const char* pointKindText(PointKind k)
{
    switch (k) {
    case PointKind::Network: return "σημείο δικτύου";
    case PointKind::Detail: return "σημείο λεπτομερειών";
    case PointKind::Reference: break;
    }
    return "σημείο αναφοράς";
}

bool ExportPoint::placedIn(ExportFormat f) const
{
    return formatInfo(f).wgs84 ? hasWGS84 : hasEN;
}

std::vector<ExportPoint> exportPoints(const Document& doc, bool network, ExportSystem system)
{
    const MemTable& t = network ? doc.GPS() : doc.GYS();
    std::vector<ExportPoint> out;
    out.reserve(static_cast<std::size_t>(t.recordCount()));
    for (int row = 0; row < t.recordCount(); ++row) {
        const Rec r = t.recAt(row);
        out.push_back(network ? networkPoint(doc, t, r) : referencePoint(doc, t, r));
        if (system == ExportSystem::TM07)
            toTM07(out.back());
    }
    return out;
}

}  // namespace korthal
