#include "project/PastedRows.h"

#include "project/Dialogs.h"
#include "network/PointTables.h"
#include "project/Document.h"

#include <algorithm>

namespace korthal {

namespace {

std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// Keeps the messages of the entry rules while a paste runs, so that they can
// be listed by line; questions still go to the user.
class CollectingDialogs : public Dialogs {
public:
    CollectingDialogs() : previous_(setDialogs(this)) {}
    ~CollectingDialogs() override { setDialogs(previous_); }
    CollectingDialogs(const CollectingDialogs&) = delete;
    CollectingDialogs& operator=(const CollectingDialogs&) = delete;

    void message(const std::string& text, MsgIcon, const std::string&) override
    {
        std::string t = text;
        std::replace(t.begin(), t.end(), '\r', ' ');
        std::replace(t.begin(), t.end(), '\n', ' ');
        if (!said.empty())
            said += "; ";
        said += t;
    }
    Answer ask(const std::string& text, const std::string& caption, MsgIcon icon,
               MsgButtons buttons) override
    {
        return previous().ask(text, caption, icon, buttons);
    }
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override
    {
        return previous().input(caption, prompt, initial);
    }
    std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                          const std::string& initialDir,
                                          const std::string& defaultExt) override
    {
        return previous().chooseFile(title, filter, initialDir, defaultExt);
    }

    std::string said;

private:
    Dialogs& previous() { return previous_ ? *previous_ : dialogs(); }
    Dialogs* previous_;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether s is a number written with `dec` as its decimal separator and
// `group` between groups of three digits (or no grouping).
bool readsAs(const std::string& s, char dec, char group)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t intStart = i;
    bool grouped = false;
    std::size_t run = 0;
    for (; i < s.size() && (isDigit(s[i]) || s[i] == group); ++i) {
        if (s[i] == group) {
            if (run == 0 || (grouped && run != 3) || (!grouped && run > 3))
                return false;
            grouped = true;
            run = 0;
        } else {
            ++run;
        }
    }
    if (i == intStart || run == 0 || (grouped && run != 3))
        return false;
    if (i < s.size() && s[i] == dec) {
        ++i;
        const std::size_t frac = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == frac)
            return false;
    }
    return i == s.size();
}

}  // namespace

std::vector<std::pair<int, std::vector<std::string>>> pastedCells(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    lines.push_back(line);
    const bool tabs = text.find('\t') != std::string::npos;
    const char sep = tabs ? '\t' : ';';
    std::vector<std::pair<int, std::vector<std::string>>> rows;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (trimmed(lines[n]).empty())
            continue;
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (;;) {
            const std::size_t at = lines[n].find(sep, start);
            cells.push_back(trimmed(lines[n].substr(start, at == std::string::npos ? std::string::npos
                                                                                  : at - start)));
            if (at == std::string::npos)
                break;
            start = at + 1;
        }
        while (!cells.empty() && cells.back().empty())
            cells.pop_back();
        rows.emplace_back(static_cast<int>(n) + 1, std::move(cells));
    }
    return rows;
}

void normalisePastedNumbers(std::vector<std::vector<std::string*>>& numberCells, char systemDecimal)
{
    // The block's decimal separator: the later of two kinds in one cell, or
    // the other kind than one repeated in a cell; with a single kind met
    // once per cell, that kind.
    char dec = 0;
    bool sawComma = false, sawPoint = false;
    for (const auto& row : numberCells)
        for (const std::string* cell : row) {
            const auto comma = cell->rfind(','), point = cell->rfind('.');
            sawComma = sawComma || comma != std::string::npos;
            sawPoint = sawPoint || point != std::string::npos;
            if (dec)
                continue;
            if (comma != std::string::npos && point != std::string::npos)
                dec = comma > point ? ',' : '.';
            else if (comma != std::string::npos && cell->find(',') != comma)
                dec = '.';
            else if (point != std::string::npos && cell->find('.') != point)
                dec = ',';
        }
    if (!dec)
        dec = sawComma && !sawPoint ? ',' : '.';
    const char group = dec == ',' ? '.' : ',';
    for (auto& row : numberCells)
        for (std::string* cell : row) {
            if (!readsAs(*cell, dec, group))
                continue;
            std::string out;
            for (char c : *cell)
                if (c == dec)
                    out += systemDecimal;
                else if (c != group)
                    out += c;
            *cell = out;
        }
}

PasteResult pastePointRows(Document& doc, bool network, const std::string& text)
{
    PasteResult result;
    auto rows = pastedCells(text);
    result.rows = static_cast<int>(rows.size());
    std::vector<std::vector<std::string*>> numbers;
    for (auto& [line, cells] : rows) {
        std::vector<std::string*> coords;
        for (std::size_t k = cells.size() == 4 ? 1 : 0; k < cells.size(); ++k)
            coords.push_back(&cells[k]);
        numbers.push_back(std::move(coords));
    }
    normalisePastedNumbers(numbers, doc.numbers().system().decimal);

    MemTable& t = network ? doc.GPS() : doc.GYS();
    const int coordFields[3] = {network ? int(gps::X) : int(gys::E),
                                network ? int(gps::Y) : int(gys::N),
                                network ? int(gps::Z) : int(gys::H)};
    const char* const shape = network ? "αναμένονται 4 στοιχεία (ΟΝΟΜΑ, Χ, Υ, Ζ) ή 3 (Χ, Υ, Ζ), βρέθηκαν "
                                      : "αναμένονται 4 στοιχεία (ΟΝΟΜΑ, Ε, Ν, Η) ή 3 (Ε, Ν, Η), βρέθηκαν ";
    if (t.state() != MemTable::State::Browse)
        t.post();
    {
        CollectingDialogs collect;
        for (const auto& [line, cells] : rows) {
            if (cells.size() != 3 && cells.size() != 4) {
                result.rejected.emplace_back(line, shape + std::to_string(cells.size()));
                continue;
            }
            const bool named = cells.size() == 4;
            collect.said.clear();
            t.append();
            const long long id = t.asInteger(network ? int(gps::ID) : int(gys::ID));
            bool ok = true;
            if (named) {
                ok = network ? doc.enterNetworkPointName(cells[0])
                             : doc.enterPointText(t, gys::Name, cells[0]);
            }
            if (ok && t.state() != MemTable::State::Browse)
                t.post();
            for (int k = 0; ok && k < 3; ++k) {
                const std::string& cell = cells[static_cast<std::size_t>(k) + (named ? 1 : 0)];
                if (!t.locateID(id)) {
                    ok = false;
                    break;
                }
                ok = network ? doc.enterNetworkCoordinate(coordFields[k], cell)
                             : doc.enterReferenceCoordinate(coordFields[k], cell);
                if (ok && t.state() != MemTable::State::Browse)
                    t.post();
            }
            if (ok) {
                result.ids.push_back(id);
                continue;
            }
            // Nothing of a refused row stays behind.
            if (t.state() == MemTable::State::Insert)
                t.cancel();
            else if (t.state() == MemTable::State::Edit)
                t.cancel();
            if (const Rec r = t.findID(id); r != NoRec)
                t.deleteRecord(r);
            result.rejected.emplace_back(line, collect.said.empty() ? std::string("δεν καταχωρήθηκε")
                                                                    : collect.said);
        }
    }
    if (!result.ids.empty())
        t.locateID(result.ids.back());
    if (network)
        doc.NetworkModified = doc.NetworkModified || !result.ids.empty();
    else
        doc.ReferenceModified = doc.ReferenceModified || !result.ids.empty();

    if (!result.rejected.empty()) {
        std::string msg = "Από τις " + std::to_string(result.rows) +
                          " γραμμές που επικολλήθηκαν δεν καταχωρήθηκαν " +
                          std::to_string(result.rejected.size()) + ":";
        constexpr std::size_t kShown = 20;
        for (std::size_t i = 0; i < result.rejected.size() && i < kShown; ++i)
            msg += "\rγραμμή " + std::to_string(result.rejected[i].first) + " : " +
                   result.rejected[i].second;
        if (result.rejected.size() > kShown)
            msg += "\r... και " + std::to_string(result.rejected.size() - kShown) + " ακόμη";
        showMessage(msg, MsgIcon::Exclamation);
    }
    return result;
}

int undoPastedRows(Document& doc, bool network, const std::vector<long long>& ids)
{
    MemTable& t = network ? doc.GPS() : doc.GYS();
    if (t.state() != MemTable::State::Browse)
        t.post();
    int removed = 0;
    bool reference = false;
    for (long long id : ids) {
        const Rec r = t.findID(id);
        if (r == NoRec)
            continue;
        if (network && !t.getBoolean(r, gps::detailPoint))
            reference = true;
        t.deleteRecord(r);
        ++removed;
    }
    if (removed == 0)
        return 0;
    if (network) {
        doc.NetworkModified = true;
        if (reference)
            doc.RecomputeNetwork();
    } else {
        doc.ReferenceModified = true;
    }
    t.first();
    return removed;
}

}  // namespace korthal
