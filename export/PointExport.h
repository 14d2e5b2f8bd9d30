#pragma once
// What the export of a point table hands on: the formats a GIS or CAD user
// opens (Shapefile, GeoPackage, DXF and CSV in EGSA87 TM87; KML and GeoJSON in
// WGS84) beside the text listing, and what every exported point carries.
// The formats in EGSA87 may take their E, N in HTRS07 TM07 instead, the
// system of the Greek cadastre's HEPOS network, reached from the table's
// TM87 by the HEPOS model (HeposModel.h).
//
// The coordinates come from the program's own tables and geodesy: E, N, H of
// the table, the GRS80 ellipsoidal coordinates from the TM87 inverse, the
// WGS84 position from the measured X, Y, Z (or, for a point that has none,
// from EGSA87 by the inverse datum shift). GdalWriter.h only writes them.

#include <optional>
#include <string>
#include <vector>

namespace korthal {

class Document;

enum class ExportFormat { Listing, Shapefile, GeoPackage, DXF, KML, GeoJSON, CSV };

// The system of a format's plane coordinates E, N.
enum class ExportSystem {
    EGSA87,  // TM87 as the tables hold them (EPSG:2100)
    TM07,    // HTRS07 TM07 by the HEPOS model
};

struct ExportFormatInfo {
    ExportFormat format;
    const char* extension;  // without the dot, as the file gets it
    const char* label;      // the entry of the save dialog's type list
    bool wgs84;             // positions in WGS84 longitude, latitude (else EGSA87 E, N)
};

// Every format in the order the save dialog lists them; the listing first.
const std::vector<ExportFormatInfo>& exportFormats();
const ExportFormatInfo& formatInfo(ExportFormat f);

// Whether a format's positions are plane E, N that may be in TM07: not the
// listing, not the formats in WGS84.
bool takesPlaneSystem(ExportFormat f);

// The entries of the save dialog's type list, in its order: every format as
// exportFormats() lists them, then those in EGSA87 again with TM07.
struct ExportChoice {
    ExportFormat format;
    ExportSystem system;
    std::string label;
};
const std::vector<ExportChoice>& exportChoices();

// The format of a file name's extension (any case); nullopt for another one.
std::optional<ExportFormat> exportFormatOfPath(const std::string& path);

// The file a save dialog's answer stands for: a name whose extension is one
// of the formats keeps it and is written in that format; any other name is
// written in the type chosen in the list and gets its extension. The
// system is the chosen one where the format takes it, else EGSA87.
struct ExportTarget {
    std::string path;
    ExportFormat format = ExportFormat::Listing;
    ExportSystem system = ExportSystem::EGSA87;
};
ExportTarget resolveExportTarget(const std::string& typed, ExportFormat chosen,
                                 ExportSystem system = ExportSystem::EGSA87);

// The three kinds of point: a network point proper (a reference point
// measured in the network), a detail point of the network, and a point of
// the reference table.
enum class PointKind { Network, Detail, Reference };
// "σημείο δικτύου", "σημείο λεπτομερειών", "σημείο αναφοράς".
const char* pointKindText(PointKind k);

// One point as every format carries it. Lengths in metres, angles in decimal
// degrees. A height of 0 in the table stands for one not entered: H and the
// ellipsoidal height are then left empty.
struct ExportPoint {
    std::string name, description;
    PointKind kind = PointKind::Detail;

    bool hasEN = false;  // E and N known (neither is 0)
    double E = 0, N = 0;  // in the system asked for; in TM07 only E, N
    // In TM07: E, N known in EGSA87 but outside the HEPOS model's grid, so
    // that the point has none in TM07.
    bool outsideGrid = false;
    std::optional<double> H;         // orthometric height
    double undulation = 0;           // geoid undulation (GRS80)
    std::optional<double> phi, lam;  // GRS80 latitude and longitude (with E, N)
    std::optional<double> h;         // GRS80 ellipsoidal height h = H + undulation

    bool hasWGS84 = false;  // a WGS84 position, measured or derived from E, N
    bool wgs84Measured = false;
    double lat = 0, lon = 0, hWGS84 = 0;

    // The residual (known − transformed) of a reference point that took
    // part in the estimation; vH only when heights took part.
    bool hasResidual = false;
    double vE = 0, vN = 0;
    std::optional<double> vH;

    // Whether the point has a position in coordinates of this format.
    bool placedIn(ExportFormat f) const;
};

// The points of the network table (network = true) or of the reference
// table, with E, N in `system` (the other attributes stay as they are: H,
// and φ, λ, h of GRS80 on the EGSA87 datum).
std::vector<ExportPoint> exportPoints(const Document& doc, bool network,
                                      ExportSystem system = ExportSystem::EGSA87);

}  // namespace korthal
