#pragma once
// The fixed-pitch listing of a point table, for the printer or a text file:
// centred heading lines, a line of column titles and one line per point, in
// lines of 124 characters and pages of 87 lines.

#include "table/MemTable.h"
#include "network/NumberText.h"

#include <string>
#include <vector>

namespace korthal {

class Document;

constexpr int kListingWidth = 124;
constexpr int kListingPageLines = 86;  // a new page when the count is above this

struct ListingOptions {
    bool toFile = true;              // file: no page breaks, no leading blank lines
    int decimals = 4;                // d of the coordinate columns
    int dmsDecimals = 9;             // decimals of the packed latitudes and longitudes
    bool anglesInRadians = false;    // f and l hold radians (reference table)
    // The network's WGS84 input is ellipsoidal: X and Y hold packed latitude
    // and longitude, Z the ellipsoidal height, and they are titled so.
    bool ellipsoidalInput = false;
    std::string heading2, heading3;  // the two lines under "Korthal"
    // After the last column, the 1:50 000 HATT sheet of each point's E, N
    // (the network table, whose HATT coordinates end its lines).
    bool hattSheets = false;
};

// The title of that column, and the name of the sheet whose outline holds
// the TM87 point (empty for 0, 0 and for a point more than 20 km from every
// sheet).
inline constexpr const char* kHattSheetTitle = "φύλλο HATT";
std::string hattSheetName(double E, double N);

// The pages of the listing (a file listing is one page), each a list of lines
// already centred. Number texts use `numbers` with its display separators.
std::vector<std::vector<std::string>> listingPages(const MemTable& table,
                                                   const NumberText& numbers,
                                                   const ListingOptions& options,
                                                   const std::vector<std::string>& extraLines = {});

// A line centred in the listing's width (lengths counted in characters).
std::string centreListingLine(const std::string& text);

// The listing of the network table (network = true) or the reference table
// of the document, with its decimals and separators for the destination
// (output file: page 2; printer: page 0). For the network table the residuals
// of its reference points follow the records.
std::vector<std::vector<std::string>> printTableLines(const Document& doc, bool network,
                                                      bool toFile);

// The name the save button offers: for the network the network file's name
// with ".TXT" (an imported point list's own name gets "_1" added), for the
// reference points "EGSA87.TXT" in the network file's folder.
std::string offeredListingName(const Document& doc, bool network);

// The save button: asks for the file name (through dialogs()), writes the
// listing with the output-file separators in code page 1253 and stores the
// name in LastTextFile. Returns false when cancelled or when the write failed
// (the latter with the save error message).
bool printTable(Document& doc, bool network);

// Writes the file listing under `path` without asking (output-file
// separators, code page 1253). False when the file cannot be written.
bool writeListingFile(Document& doc, bool network, const std::string& path);

}  // namespace korthal
