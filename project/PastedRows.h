#pragma once
// Rows of points pasted into a point grid from a spreadsheet or a text
// editor: one point a line, its cells separated by tabs or semicolons, with
// or without the name first. Every row is entered through the entry rules,
// as if its cells were typed one after the other; a row that a rule refuses
// leaves nothing behind and is listed with the rule's reason.

#include <string>
#include <utility>
#include <vector>

namespace korthal {

class Document;

struct PasteResult {
    int rows = 0;                 // lines with any text
    std::vector<long long> ids;   // the records added, in order
    // Rejected lines: line number (from 1) and the reason.
    std::vector<std::pair<int, std::string>> rejected;
};

// The cells of the lines of `text` (tab-separated when any line holds a tab,
// else semicolon-separated), blanks around each cell removed, empty cells at
// a line's end dropped; blank lines give no row. Each row keeps its line
// number.
std::vector<std::pair<int, std::vector<std::string>>> pastedCells(const std::string& text);

// Number texts of one pasted block rewritten with the system decimal
// separator `systemDecimal` and no grouping. The block's own convention is
// found from all its cells (Greek 1.234.567,89 or C 1,234,567.89 or plain);
// a cell of a block with one kind of separator only reads it as decimal.
// Texts that are not numbers are left as they are, for the rules to refuse.
void normalisePastedNumbers(std::vector<std::vector<std::string*>>& numberCells, char systemDecimal);

// Enters the rows into the network table (network) or the reference table:
// name, X, Y, Z (E, N, H for reference points), or the three coordinates
// alone. The rules' messages are collected instead of shown; one message
// lists the rejected lines. The table's cursor ends on the last record added.
PasteResult pastePointRows(Document& doc, bool network, const std::string& text);

// Removes the records a paste added (those still there) and, when one of
// them was a reference point of the network, computes the network again.
// Returns how many were removed.
int undoPastedRows(Document& doc, bool network, const std::vector<long long>& ids);

}  // namespace korthal
