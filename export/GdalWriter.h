#pragma once
// Writing exported points through GDAL/OGR, the library GIS and CAD software
// reads and writes with. GDAL only writes: the coordinates come ready from
// PointExport.h and the spatial reference is a tag (EPSG:2100 for EGSA87
// TM87, EPSG:4326 for WGS84), so GDAL never reprojects anything.
//
// In TM07 (ExportSystem::TM07) the files that carry a spatial reference
// (Shapefile, GeoPackage) carry that of HTRS07 TM07 instead: GRS80, central
// meridian 24° E, scale 0.9996, false easting 500 000 m, false northing
// −2 000 000 m. HTRS07 being a realisation of ETRS89, it is tied to WGS84
// by zero shifts, as ETRS89 is in the EPSG dataset.
//
// Per format:
// - Shapefile: POINTZ (E, N, H), the .prj of EPSG:2100, attributes in code
//   page 1253 declared twice, by the DBF's language driver byte and by a .cpg
//   file "1253", so that older Greek Windows tools and today's GIS both read
//   the Greek text.
// - GeoPackage: 3-D points (E, N, H) in EPSG:2100, text in UTF-8.
// - DXF: a POINT (E, N, H) and an MTEXT with the name beside it, on one layer
//   per kind of point; the names of network and reference points in red, as
//   the sketch draws them. DXF carries no attributes and no spatial reference.
// - KML and GeoJSON (RFC 7946): WGS84 longitude, latitude and ellipsoidal
//   height, to 1e-9 degrees (0.1 mm).
// - CSV: the attributes only (UTF-8 with a byte order mark, CR LF lines),
//   for a spreadsheet.
// Only points that have a position in the format's coordinates are written.

#include "export/PointExport.h"

#include <string>
#include <vector>

namespace korthal {

struct PointFileReport {
    int written = 0;
    // Points whose description was cut to the 254 bytes a DBF field holds.
    std::vector<std::string> descriptionsCut;
};

// The layer a file holds: `name` in ASCII (GeoPackage table), `title` as
// people read it (KML folder, GeoJSON name).
struct ExportLayer {
    std::string name;
    std::string title;
};

// Writes `points` into the new file `path` (a Shapefile: its .shp; the other
// files beside it) in `format`, which is not the listing. False with `error`
// (GDAL's reason) when GDAL could not write; the caller removes what was
// started.
bool writePointFile(const std::vector<ExportPoint>& points, ExportFormat format,
                    const std::string& path, const ExportLayer& layer, PointFileReport& report,
                    std::string& error, ExportSystem system = ExportSystem::EGSA87);

// The suffixes of the files a Shapefile consists of, as this writer leaves
// them, and those of the indexes other programs keep beside one (stale once
// the Shapefile is replaced).
const std::vector<std::string>& shapefileParts();
const std::vector<std::string>& shapefileIndexes();

}  // namespace korthal
