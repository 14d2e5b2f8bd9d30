#pragma once
// The calculator's second page: the systems beside EGSA87 and the old HATT
// sheets. HTRS07 φλh and XYZ, TM07, the three TM3 zones, UTM 34 and 35 on
// ED50 and HATT by the 1:50 000 sheets' polynomials, with TM87, EGSA87 φλh
// and WGS84 as on the first page. Each group has three edits and one button
// that converts its point into every other group, each by the shortest way
// of the conversion chain (network/ConvertChain.h) that korthal-cli convert
// walks, so both give the same numbers.
//
// The class holds the edits' texts and the HATT sheet; it shows nothing. A
// conversion returns its messages (Greek, for the window's message boxes).

#include "geodesy/DatumShift.h"
#include "network/NumberText.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

// The groups of the page, in its order.
enum class SysGroup : int {
    HTRS07Geo, HTRS07Xyz, TM07,
    TM3West, TM3Central, TM3East,
    UTM34ED50, UTM35ED50, HattSheet,
    EGSA87TM87, EGSA87Geo, WGS84Geo, WGS84Xyz,
    Count
};
constexpr int kSysGroupCount = static_cast<int>(SysGroup::Count);

// The title of a group's box and the labels of its three edits.
struct SysGroupTitles {
    const char* title;
    const char* labels[3];
};
const SysGroupTitles& sysGroupTitles(SysGroup g);

// What the rest of the program lends the page (held, not owned).
struct SystemsContext {
    const NumberText* text = nullptr;
    const NumberSettings* numbers = nullptr;
    const DatumShiftTable* shifts = nullptr;
};

// What a conversion did.
struct SysOutcome {
    bool converted = false;  // false: nothing was written
    // For the user, each in a message box of its own (an input problem).
    std::vector<std::string> messages;
    // The group and edit (0..2) whose text was not a number; group Count
    // when none.
    SysGroup refusedGroup = SysGroup::Count;
    int refusedEdit = -1;
};

// Texts of the messages.
extern const char* const kOutsideHeposText;  // the point outside the HEPOS grid
extern const char* const kNoSheetText;       // HATT without a sheet
// "Το σημείο βρίσκεται 23,4 km έξω από το φύλλο Αλεξάνδρεια"
std::string farFromSheetText(const NumberText& text, double metres, int sheet);

// The sheets whose name (accents, case, blanks and . - ( ) ignored) holds
// `query`, or, for digits, whose publisher's number begins with them: exact
// names and numbers first, then those that begin so, then the rest, each in
// the publisher's order. An empty query gives every sheet.
std::vector<int> searchSheets(std::string_view query);
// "26  Αλεξάνδρεια": the sheet's number and name, as the list shows it.
std::string sheetLabel(int sheet);

class SystemsCalculator {
public:
    explicit SystemsCalculator(SystemsContext ctx);

    const std::string& text(SysGroup g, int k) const { return texts_[ix(g)][static_cast<std::size_t>(k)]; }
    void setText(SysGroup g, int k, std::string value)
    {
        texts_[ix(g)][static_cast<std::size_t>(k)] = std::move(value);
    }
    // A group's button works when its three edits hold text.
    bool complete(SysGroup g) const;
    // Empties every edit (the found sheet is forgotten too).
    void clear();

    // The sheet picked by the user, or −1: the sheet is found from the point.
    int chosenSheet() const { return chosen_; }
    void chooseSheet(int sheet) { chosen_ = sheet; }
    // The sheet of the HATT group's numbers: the chosen one, else the one the
    // last conversion found (−1 for none).
    int sheet() const { return chosen_ >= 0 ? chosen_ : found_; }

    // Converts the point of group g into every other group. Its edits are
    // read as the first page reads its own; a text that is not a number, or
    // HATT without a sheet, stops it with nothing written. A point outside
    // the HEPOS grid leaves the HTRS07 and TM07 groups empty and says so;
    // from those groups such a point is refused with nothing written. A point
    // more than 20 km outside its sheet is converted and said.
    SysOutcome convertFrom(SysGroup g);

private:
    static std::size_t ix(SysGroup g) { return static_cast<std::size_t>(g); }
    int decimalsOf(SysGroup g) const;

    SystemsContext ctx_;
    std::array<std::array<std::string, 3>, kSysGroupCount> texts_{};
    int chosen_ = -1;
    int found_ = -1;
};

}  // namespace korthal
