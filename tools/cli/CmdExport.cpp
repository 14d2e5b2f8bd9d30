// korthal-cli export: a network's point table (or the reference points) to a
// GIS or CAD file, the format taken from the file's extension.

#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include "export/ExportTable.h"
#include "geodesy/HeposModel.h"
#include "project/Document.h"

#include <iostream>

namespace korthal::cli {
namespace {

int runExport(const std::vector<std::string>& args)
{
    std::string network, out, table = "network", reference, settingsFile, system = "egsa87";
    for (std::size_t i = 0; i < args.size();) {
        bool missing = false;
        std::optional<std::string> v;
        std::string* into = nullptr;
        for (auto [name, target] : {std::pair{"--out", &out}, std::pair{"--table", &table},
                                    std::pair{"--reference", &reference},
                                    std::pair{"--settings", &settingsFile},
                                    std::pair{"--system", &system}}) {
            if ((v = optionValue(args, i, name, missing))) {
                into = target;
                if (missing || v->empty())
                    return usageError("export", std::string(name) + " needs a value");
                break;
            }
        }
        if (into) {
            *into = *v;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return usageError("export", "unknown option " + args[i]);
        } else if (network.empty()) {
            network = args[i++];
        } else {
            return usageError("export", "only one network file, got " + args[i]);
        }
    }
    if (network.empty() || out.empty())
        return usageError("export", "a network file and --out FILE are needed");
    if (table != "network" && table != "reference")
        return usageError("export", "--table takes network or reference, not " + table);
    if (system != "egsa87" && system != "tm07")
        return usageError("export", "--system takes egsa87 or tm07, not " + system);
    const auto format = exportFormatOfPath(out);
    if (!format) {
        std::cerr << "korthal-cli export: the extension of " << out
                  << " names no format; use .shp, .gpkg, .dxf, .kml, .geojson, .csv or .txt\n";
        return 1;
    }
    const ExportSystem plane = system == "tm07" ? ExportSystem::TM07 : ExportSystem::EGSA87;
    if (plane == ExportSystem::TM07 && !takesPlaneSystem(*format))
        return usageError("export", "--system tm07 is for .shp, .gpkg, .dxf and .csv, not " + out);

    Document doc;
    bool complete = false;
    if (const int status = loadNetwork(doc, "export", network, reference, settingsFile, complete))
        return status;
    if (!complete) {
        // An export of part of the network would pass for the whole of it.
        std::cerr << "korthal-cli export: nothing written\n";
        return 1;
    }
    const ExportResult r = exportTableTo(doc, table == "network", out, *format, plane);
    if (!r.ok) {
        std::cerr << "korthal-cli export: " << r.error << "; nothing written\n";
        return 1;
    }
    for (const auto& name : r.leftOut)
        std::cerr << "korthal-cli export: " << name << " has no coordinates; not written\n";
    for (const auto& name : r.outsideGrid)
        std::cerr << "korthal-cli export: " << outsideGridMessage(name) << ", δεν γράφτηκε\n";
    for (const auto& name : r.descriptionsCut)
        std::cerr << "korthal-cli export: the description of " << name
                  << " was cut to the 254 bytes of a Shapefile field\n";
    std::cout << r.written << " points written to " << out << '\n';
    return 0;
}

const Registration reg{Command{
    "export", "write a network's points to a GIS or CAD file",
    "Usage: korthal-cli export NETWORK.WGS84 --out FILE [--table network|reference]\n"
    "                          [--reference FILE] [--settings FILE.INI]\n"
    "                          [--system egsa87|tm07]\n\n"
    "Loads and transforms the network as \"korthal-cli network\" does and writes\n"
    "its points (--table network, the default) or the reference points of the\n"
    "reference file (--table reference) to FILE, in the format of its extension:\n"
    "  .shp      ESRI Shapefile, EGSA87 TM87 E, N, H (EPSG:2100; text in code\n"
    "            page 1253, named by the .cpg file)\n"
    "  .gpkg     GeoPackage, EGSA87 TM87 E, N, H (EPSG:2100)\n"
    "  .dxf      DXF drawing, EGSA87 TM87 E, N, H: one layer per kind of point,\n"
    "            each point with its name beside it\n"
    "  .kml      KML, WGS84 longitude, latitude and ellipsoidal height\n"
    "  .geojson  GeoJSON (RFC 7946), WGS84 longitude, latitude and ellipsoidal height\n"
    "  .csv      CSV for a spreadsheet (UTF-8), the attributes only\n"
    "  .txt      the text listing (code page 1253)\n"
    "Every point carries its name, description, kind, E, N, H, the GRS80 h,\n"
    "undulation, φ and λ (decimal degrees) and, for a reference point that took\n"
    "part in the estimation, its residuals vE, vN, vH. Points without coordinates\n"
    "are left out and named on stderr.\n\n"
    "--system tm07 writes E, N (the attributes and, for .shp, .gpkg and .dxf, the\n"
    "positions) in HTRS07 TM07 instead of EGSA87 TM87, by the HEPOS model with\n"
    "its correction grid; the .shp's .prj and the GeoPackage declare HTRS07 TM07\n"
    "(GRS80, central meridian 24 E, scale 0.9996, false easting 500000, false\n"
    "northing -2000000). H, and the GRS80 h, phi, lambda of EGSA87, stay as they\n"
    "are. Points outside the grid are left out and named on stderr. For .shp,\n"
    ".gpkg, .dxf and .csv only (the default is egsa87).\n\n"
    "An existing FILE (for a Shapefile, any of its files) is replaced without\n"
    "asking. A network that does not exist or does not load completely, an\n"
    "unknown extension or a failed write: a message on stderr, exit status 1,\n"
    "and nothing is written or changed.\n",
    runExport}};

}  // namespace
}  // namespace korthal::cli
