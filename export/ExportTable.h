#pragma once
// The export of a point table, one routine for the window's export button and
// for `korthal-cli export`: the text listing, or the formats of
// PointExport.h written through GDAL. A failed export changes nothing on
// disk (StagingFolder.h).

#include "export/PointExport.h"

#include <optional>
#include <string>
#include <vector>

namespace korthal {

class Document;

struct ExportResult {
    bool ok = false;
    std::string path;
    ExportFormat format = ExportFormat::Listing;
    int written = 0;                            // points written
    std::vector<std::string> leftOut;           // points with no position in the format
    std::vector<std::string> outsideGrid;       // in TM07: those outside the HEPOS grid
    std::vector<std::string> descriptionsCut;   // to a DBF field's 254 bytes
    bool nothingPlaced = false;                 // no point had a position in the format
    std::string error;                          // why nothing was written
};

// The files of an export to `path` in `format`: the path itself, or all the
// files of a Shapefile.
std::vector<std::string> exportFiles(const std::string& path, ExportFormat format);
// Whether any of them exists already.
bool exportTargetExists(const std::string& path, ExportFormat format);

// Writes the network table (network = true) or the reference table to
// `path` in `format`, replacing what is there, without asking and without
// showing anything. The listing is written with the output-file separators
// in code page 1253. A table with no point that has a position in the
// format's coordinates writes nothing and fails. In TM07 (for the formats
// that take it) a point outside the HEPOS grid is left out and named in
// `outsideGrid`, not in `leftOut`.
ExportResult exportTableTo(Document& doc, bool network, const std::string& path,
                           ExportFormat format, ExportSystem system = ExportSystem::EGSA87);

// The export button: asks for the file and its type (exportChoices(): the
// listing's offered name, the listing first), asks before replacing an existing file, writes
// and says what it did (through dialogs()). For the listing it stores the
// name in LastTextFile. nullopt when the user cancelled.
std::optional<ExportResult> exportTable(Document& doc, bool network);

}  // namespace korthal
