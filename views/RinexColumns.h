#pragma once
// What the observation viewer's grid shows, as plain data: its columns (field,
// title, width, group titles), the list of check boxes that hides and shows
// columns and chart tabs, the rule that ticks them from the point's companion
// settings file, the texts and colours of the cells, the path of a point's
// table file, and the fixed-pitch listing of the visible columns.
//
// The window (app/RinexViewer) puts these on the screen; the rules are here
// so that they are tested without one.

#include "network/NumberText.h"
#include "table/MemTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace korthal::rinex {

// ---- Grid columns ----

struct GridColumnDef {
    int field = -1;           // field of the observation table
    const char* title = "";   // the column title
    int width = 64;           // pixels, at least
    bool rightAligned = false;
};

constexpr int kGridColumns = 34;
// Column 0 epoxh, 1 Date, 2 Time, 3 Health, 4 PRN, 5..32 the observables with
// their LLI, strength, slip and ambiguity columns, 33 Sxolio.
const std::array<GridColumnDef, kGridColumns>& gridColumns();

struct GridGroup {
    int first, last;
    const char* title;
};
// The group titles over runs of columns.
const std::vector<GridGroup>& gridGroups();

// The first five columns (epoch and satellite), whose titles sort the grid:
// their summed width is where the sorting hint stops.
constexpr int kSortColumns = 5;
// The index a click on a column title chooses: "byPRN" for PRN, "byEpoxh"
// for the epoch columns 0-3, empty for the others.
std::string indexForTitleClick(int column);

// ---- The column list ----

constexpr int kColumnItems = 33;
// "C1", "C1-LLI", ... "Σχόλια": item i < 28 governs grid column i + 5.
const std::array<const char*, kColumnItems>& columnItems();
// The grid column an item governs, or -1 (the last five govern nothing).
int gridColumnOfItem(int item);
// The observable (reader slot 1..8) whose chart tab an item governs, or 0.
int chartSlotOfItem(int item);
// The item of an observable's value column ("L1" for slot 5).
int itemOfSlot(int slot);

using ColumnChecks = std::array<bool, kColumnItems>;

// What the companion settings file says for the window: the ticks of items
// 0-27 (a value item is ticked when its type is set true in "Types", every
// other one is unticked; items 28-32 keep their tick from `current`) and the
// approximate position as general-format texts (0 when missing).
// The position is read whatever the decimal separator it was written with
// (the locale's, when the file was written: '.' or ',').
struct ObservationTypesView {
    ColumnChecks checks{};
    std::string Xo = "0", Yo = "0", Ho = "0";
    // What the reading of the observation file said (section "FILE"), as
    // texts to show; empty when the file does not say.
    std::string file, receiver, antenna, antennaHeight, interval, otherSystems, codes;
};
ObservationTypesView readObservationTypes(const std::string& settingsFile,
                                          const ColumnChecks& current, const NumberText& numbers);

// The first and last epoch of a table ("21/12/2021 00:00:00"), and the
// shortest step between successive epochs in seconds ("30"); empty texts
// for a table without records.
struct ObservationSpan {
    std::string first, last, step;
};
ObservationSpan observationSpan(const MemTable& t, const NumberText& numbers);

// Which grid columns and chart tabs the ticks show.
struct ColumnVisibility {
    std::array<bool, kGridColumns> column{};
    std::array<bool, 9> chartTab{};  // by slot, 1..8
};
ColumnVisibility visibilityOf(const ColumnChecks& checks);

// ---- Cells ----

// The text of a cell: code texts for the flag, LLI and strength digits,
// values with grouped thousands and three decimals (display separators of
// `numbers`), zeros shown empty, the date as d/m/yy.
std::string cellText(const MemTable& t, Rec r, int field, const NumberText& numbers);

// Red text: the epoch flag or an LLI digit above 0.
bool cellIsRed(const MemTable& t, Rec r, int field);

enum class CellAlign { Left, Centre, Right };
CellAlign cellAlignment(int field);

// The two row colours as 24-bit values with blue in the high byte and red in
// the low byte; the first is also the grid's own background.
inline constexpr std::uint32_t kFirstRowColour = 15662075;   // pale yellow
inline constexpr std::uint32_t kSecondRowColour = 16511214;  // pale blue
inline constexpr int colourRed(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
inline constexpr int colourGreen(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int colourBlue(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }

// The background of the grid's rows. In epoch order the colour follows the
// epoch number (even: first colour, odd: second); in satellite order it
// changes at each new satellite, the first satellite having the second
// colour. The colour of a row depends on the row alone, not on which rows
// were drawn before it.
class RowColours {
public:
    // After a load, a read or a change of index.
    void reset(const MemTable& t);
    std::uint32_t colourOf(const MemTable& t, Rec r) const;

private:
    bool bySatellite_ = false;
    std::vector<int> satellites_;  // the satellite numbers of the table, ascending
};

// ---- Files ----

// The table file of a network point: the folder "RINEX" of the network's
// job folder ("./RINEX/" for a network named without a folder) + the network
// file's name without folder and extension + the point's ID in six digits +
// ".RNX" (project/PointFiles.h). IDs of a million and more keep all their
// digits, so that no two points share a file.
std::string rinexTablePath(const std::string& networkFile, long long id);

// The fixed-pitch listing of the grid's visible columns (grid column indexes,
// in order), one line per record in the table's index order: the headings,
// a line of titles, the records; for the printer pages of 87 lines with the
// headings on the first, for a file one page.
std::vector<std::vector<std::string>> observationListing(const MemTable& t,
                                                         const std::vector<int>& columns,
                                                         const NumberText& numbers,
                                                         const std::string& heading, bool toFile);

}  // namespace korthal::rinex
