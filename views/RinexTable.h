#pragma once
// The observation table of one network point (RINEX), its companion settings
// file, and the reading of a RINEX observation file into it.
//
// The viewer window owns one RinexTable for the whole run: it sets
// RinexFileName for the point shown, loads the table file, and reads a file
// the user picked with readFileIntoTable, after asking, when the table holds
// records, whether to replace or append them. Nothing here talks to the
// user: a reading returns what became of it, with the texts to show.

#include "table/MemTable.h"
#include "table/TableText.h"
#include "views/RinexReader.h"

#include <functional>
#include <string>

namespace korthal {

// The fields of RINEX, in table order.
namespace rnx {
enum Field : int {
    epoxh,
    Date,
    Hour,
    min,
    sec,
    Health,
    PRN,
    C1, C1LLI, C1str,
    C2, C2LLI, C2str,
    P1, P1LLI, P1str,
    P2, P2LLI, P2str,
    L1, L1LLI, L1str, L1slip, L1amb,
    L2, L2LLI, L2str, L2slip, L2amb,
    D1, D1LLI, D1str,
    D2, D2LLI, D2str,
    slips,
    Sxolio,
    Time,
    FieldCount
};
// The value field of each reader slot (1 = C1 ... 8 = D2); its LLI and
// strength fields follow it.
int valueFieldOfSlot(int slot);
}  // namespace rnx

// Defines the 38 fields, the indexes byEpoxh (active) and byPRN, and the
// calculated field Time on an empty table.
void defineRinexTable(MemTable& table);

// Appends one observation record to a table defined by defineRinexTable.
void appendObservation(MemTable& table, const rinex::ObservationRecord& o);

// Writes what a header says to a companion settings file, key by key: the
// types (keys are only ever set, so several files for one point leave the
// union of their types) and the approximate position. False, with the reason
// in `error`, when the file cannot be written.
bool writeObservationTypes(const std::string& settingsFile, const rinex::Header& h,
                           std::string& error);

// Writes what a reading of `fileName` found to the companion settings file,
// section "FILE": "Name" (the files read into the table, joined by "; "
// when appended), "Receiver", "Antenna", "AntennaHeight", "Interval" (from
// the header, when it gives them), "OtherSystems" (observations of other
// systems skipped, summed when appended) and "Codes" (for RINEX 3 and 4,
// which code filled which type). False, with the reason in `error`, when the
// file cannot be written.
bool writeReadSummary(const std::string& settingsFile, const rinex::ReadResult& r,
                      const std::string& fileName, bool append, std::string& error);

// The companion settings file of a table file: everything before the first
// occurrence of the extension, then ".INI".
std::string rinexSettingsFileName(const std::string& rinexFileName);

// The texts the grid shows for the epoch flag, the LLI and strength digits.
std::string healthText(long long flag);
std::string lliText(long long digit);
std::string strengthText(long long digit);

// The question asked before a read into a table that holds records.
std::string replaceQuestionText(const std::string& fileName);
inline constexpr const char* kReplaceQuestionCaption = "ΠΡΟΣΟΧΗ !  παρέμβαση στα δεδομένα";

// Whether a reading replaces the table's records or adds to them.
enum class ReadMode { Replace, Append };

// What became of one readFileIntoTable. Only a read that went to the end
// of the file changes anything: the table, the table file and the companion
// settings file then hold the new observations. A cancelled or stopped read,
// and one whose table file cannot be written, leave all three as they were.
struct RinexReadOutcome {
    bool cancelled = false;        // the user stopped the reading
    rinex::ReadResult read;        // what the reader found
    bool stored = false;           // the table file was written
    std::string storeError;        // why it was not, when it was tried
    std::string settingsError;     // the companion file could not be written
    bool ok() const { return !cancelled && read.ok() && stored; }
    // The message for a reading that changed nothing (empty when it went
    // through or was cancelled), or for a companion file not written.
    std::string failureMessage() const;
};

class RinexTable {
public:
    RinexTable();

    MemTable& table() { return table_; }
    const MemTable& table() const { return table_; }

    // The table file of the point shown.
    std::string RinexFileName;

    // Told of the bytes read so far, for a progress bar.
    rinex::Progress progress;
    // Asked as often as `progress` is told; true stops the reading (the
    // progress bar's cancel button), which then changes nothing.
    rinex::CancelCheck cancelRequested;
    // Told when the whole file was read and the table is being stored,
    // which cannot be stopped.
    std::function<void()> storing;

    // A reading would replace or add to records: the caller asks which
    // first (replaceQuestionText).
    bool needsReplaceQuestion() const { return !table_.isEmpty(); }

    // Reads FileName (plain or compressed) into a new table, stores that at
    // RinexFileName, writes the header's types and position and the
    // reading's summary to the companion settings file, and makes it the
    // table: replacing the records, or after them.
    RinexReadOutcome readFileIntoTable(const std::string& FileName, ReadMode mode);

    // The reading alone: no question, no message, no file written. When the
    // whole file was read the table takes the new records (in place of its
    // own when `replace` is set); otherwise it stays as it was.
    rinex::ReadResult readObservations(const std::string& FileName, bool replace);

    // Writes the table to RinexFileName (record data only). False with the
    // reason in `error` when the file cannot be written.
    bool store(std::string& error) const;
    // Replaces the table's records by those of the file RinexFileName; false
    // when it is missing or unreadable (the table then holds what was read;
    // `detail`, when given, gets why).
    bool load(LoadResult* detail = nullptr);

private:
    // Defines the empty table `next`, copies the records of the table into
    // it unless `replace` is set, and reads FileName into it.
    rinex::ReadResult readInto(MemTable& next, const std::string& FileName, bool replace);
    // Gives the table the records of `next`.
    void take(MemTable& next);

    MemTable table_;
};

}  // namespace korthal
