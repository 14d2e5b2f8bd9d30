#include "views/RinexTable.h"

#include "network/NumberText.h"
#include "project/Dialogs.h"
#include "project/IniFile.h"
#include "table/TableFile.h"

#include <array>

namespace korthal {

namespace rnx {

int valueFieldOfSlot(int slot)
{
    static constexpr std::array<int, 9> fields{-1, C1, C2, P1, P2, L1, L2, D1, D2};
    return slot >= 1 && slot <= 8 ? fields[static_cast<std::size_t>(slot)] : -1;
}

}  // namespace rnx

namespace {

// Values show grouped thousands and three decimals; zero shows an empty cell.
constexpr const char* kValueFormat = "#,##0.000;-#,##0.000;";
constexpr const char* kZeroEmpty = "0;-0;";

FieldDef field(std::string name, FieldType type, Alignment align = Alignment::Left,
               std::string displayFormat = {})
{
    FieldDef f;
    f.name = std::move(name);
    f.type = type;
    f.alignment = align;
    f.displayFormat = std::move(displayFormat);
    return f;
}

void addObservable(MemTable& t, const std::string& code, bool withSlipAndAmbiguity)
{
    t.addField(field(code, FieldType::Float, Alignment::Right, kValueFormat));
    t.addField(field(code + "LLI", FieldType::Integer, Alignment::Center));
    t.addField(field(code + "str", FieldType::Integer, Alignment::Center));
    if (withSlipAndAmbiguity) {
        t.addField(field(code + "slip", FieldType::Integer, Alignment::Right, kZeroEmpty));
        t.addField(field(code + "amb", FieldType::Float, Alignment::Right, kValueFormat));
    }
}

}  // namespace

void defineRinexTable(MemTable& t)
{
    t.addField(field("epoxh", FieldType::Integer, Alignment::Center));
    t.addField(field("Date", FieldType::Date, Alignment::Left, "d/m/yy"));
    t.addField(field("Hour", FieldType::Integer));
    t.addField(field("min", FieldType::Integer));
    t.addField(field("sec", FieldType::Float, Alignment::Right, "00.0000000"));
    t.addField(field("Health", FieldType::Integer, Alignment::Center));
    t.addField(field("PRN", FieldType::Integer, Alignment::Center));
    for (const char* code : {"C1", "C2", "P1", "P2"})
        addObservable(t, code, false);
    addObservable(t, "L1", true);
    addObservable(t, "L2", true);
    addObservable(t, "D1", false);
    addObservable(t, "D2", false);
    t.addField(field("slips", FieldType::Integer));
    FieldDef comment = field("Sxolio", FieldType::String);
    comment.size = 20;
    t.addField(comment);
    FieldDef time = field("Time", FieldType::String, Alignment::Center);
    time.size = 30;
    time.calculated = true;
    t.addField(time);

    t.addIndex("byEpoxh", "Date;Hour;min;sec;epoxh;PRN");
    t.addIndex("byPRN", "PRN;date;hour;min;sec;epoxh");

    // RINEXCalcFields
    t.onCalcFields = [](const RecordView& r, CalcValues& out) {
        out.setString(rnx::Time, rinex::formatEpochTime(static_cast<int>(r.asInteger(rnx::Hour)),
                                                        static_cast<int>(r.asInteger(rnx::min)),
                                                        r.asFloat(rnx::sec),
                                                        r.table().decimalSeparator()));
    };
}

std::string rinexSettingsFileName(const std::string& rinexFileName)
{
    const std::size_t slash = rinexFileName.find_last_of("/\\");
    const std::size_t dot = rinexFileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return rinexFileName + ".INI";
    const std::string ext = rinexFileName.substr(dot);
    return rinexFileName.substr(0, rinexFileName.find(ext)) + ".INI";
}

std::string healthText(long long flag)
{
    static const char* const texts[] = {"normal",    "Powered OFF", "moving ant",
                                        "new occup", "?",           "ext. event"};
    return flag >= 0 && flag <= 5 ? texts[flag] : "";
}

std::string lliText(long long digit)
{
    static const char* const texts[] = {"ok", "Lost Lock", "opposite", "?", "AS ON"};
    return digit >= 0 && digit <= 4 ? texts[digit] : "?";
}

std::string strengthText(long long digit)
{
    static const char* const texts[] = {"",          "minimum", "bad",  "very poor",
                                        "poor",      "just good", "good", "very good",
                                        "excelent",  "maximum"};
    return digit >= 0 && digit <= 9 ? texts[digit] : "";
}

std::string replaceQuestionText(const std::string& fileName)
{
    const std::string cr = "\r";
    return "Τα δεδομένα του πίνακα θα ΑΝΤΙΚΑΤΑΣΤΑΘΟΥΝ με αυτά" + cr +  //
           "του αρχείου \"" + fileName + "\"" + cr +                  //
           cr + cr +                                                   //
           "Αν θέλετε να ΑΝΤΙΚΑΤΑΣΤΑΘΟΥΝ , δώστε  \"Ναί\"" + cr +       //
           cr +                                                        //
           "Αν θέλετε να ΠΡΟΣΤΕΘΟΥΝ , δώστε \"Οχι\"" + cr +            //
           cr +                                                        //
           "Αν δεν θέλετε καμμία αλλαγή, δώστε \"Ακυρο\"" + cr;
}

void appendObservation(MemTable& t, const rinex::ObservationRecord& o)
{
    const Rec r = t.appendRecord();
    t.setInteger(r, rnx::epoxh, o.epoxh);
    t.setDate(r, rnx::Date, korthal::Date{o.year, o.month, o.day});
    t.setInteger(r, rnx::Hour, o.hour);
    t.setInteger(r, rnx::min, o.min);
    t.setFloat(r, rnx::sec, o.sec);
    t.setInteger(r, rnx::Health, o.flag);
    t.setInteger(r, rnx::PRN, o.prn);
    for (int slot = 1; slot <= rinex::kSlotCount; ++slot) {
        const int f = rnx::valueFieldOfSlot(slot);
        const rinex::SlotValue& v = o.slotValues[static_cast<std::size_t>(slot)];
        t.setFloat(r, f, v.value);
        t.setInteger(r, f + 1, v.lli);
        t.setInteger(r, f + 2, v.strength);
    }
    for (int f : {rnx::L1slip, rnx::L2slip})
        t.setInteger(r, f, 0);
    for (int f : {rnx::L1amb, rnx::L2amb})
        t.setFloat(r, f, 0);
}

bool writeObservationTypes(const std::string& settingsFile, const rinex::Header& h,
                           std::string& error)
{
    IniFile ini(settingsFile);
    bool ok = ini.writeInteger("Types", "nTypes", h.nTypes);
    for (const std::string& code : h.types)
        ok = ini.writeBool("Types", code, true) && ok;
    if (h.hasPosition) {
        const char decimal = localeSeparators().decimal;
        ok = ini.writeFloat("POSITION", "Xo", h.Xo, decimal) && ok;
        ok = ini.writeFloat("POSITION", "Yo", h.Yo, decimal) && ok;
        ok = ini.writeFloat("POSITION", "Ho", h.Ho, decimal) && ok;
    }
    error = ok ? std::string() : ini.error();
    return ok;
}

bool writeReadSummary(const std::string& settingsFile, const rinex::ReadResult& r,
                      const std::string& fileName, bool append, std::string& error)
{
    IniFile ini(settingsFile);
    const rinex::Header& h = r.header;
    std::string name = fileName.substr(fileName.find_last_of("/\\") == std::string::npos
                                           ? 0
                                           : fileName.find_last_of("/\\") + 1);
    long long others = r.stats.skipped;
    if (append) {
        const std::string before = ini.readString("FILE", "Name", "");
        if (!before.empty())
            name = before + "; " + name;
        others += ini.readInteger("FILE", "OtherSystems", 0);
    }
    bool ok = ini.writeString("FILE", "Name", name);
    ok = ini.writeInteger("FILE", "OtherSystems", others) && ok;
    if (!h.receiver.empty())
        ok = ini.writeString("FILE", "Receiver", h.receiver) && ok;
    if (!h.antenna.empty())
        ok = ini.writeString("FILE", "Antenna", h.antenna) && ok;
    if (h.hasAntennaHeight)
        ok = ini.writeFloat("FILE", "AntennaHeight", h.antennaHeight, '.') && ok;
    if (h.hasInterval)
        ok = ini.writeFloat("FILE", "Interval", h.interval, '.') && ok;
    if (!h.sources.empty())
        ok = ini.writeString("FILE", "Codes", rinex::codeSourcesText(h.sources)) && ok;
    error = ok ? std::string() : ini.error();
    return ok;
}

namespace {

// Appends each record to the table.
class TableSink : public rinex::ObservationSink {
public:
    explicit TableSink(MemTable& t) : t_(t) {}
    void header(const rinex::Header&) override {}
    void record(const rinex::ObservationRecord& o) override { appendObservation(t_, o); }

private:
    MemTable& t_;
};

}  // namespace

RinexTable::RinexTable() : table_("RINEX")
{
    defineRinexTable(table_);
}

RinexReadOutcome RinexTable::readFileIntoTable(const std::string& FileName, ReadMode mode)
{
    RinexReadOutcome out;
    // The new table is built beside the one shown, and takes its place only
    // when the whole file was read and stored.
    MemTable next("RINEX");
    out.read = readInto(next, FileName, mode == ReadMode::Replace);
    if (out.read.status == rinex::ReadStatus::Cancelled)
        out.cancelled = true;
    if (!out.read.ok())
        return out;

    if (storing)
        storing();
    // RINEXCompressSave: the same zlib layer as the network tables.
    const SaveResult saved = SaveToFile(next, RinexFileName);
    out.stored = saved.ok;
    if (!out.stored) {
        out.storeError = saved.error;
        return out;
    }
    const std::string settings = rinexSettingsFileName(RinexFileName);
    std::string error;
    if (!writeObservationTypes(settings, out.read.header, error) ||
        !writeReadSummary(settings, out.read, FileName, mode == ReadMode::Append, error))
        out.settingsError = error;
    take(next);
    return out;
}

std::string RinexReadOutcome::failureMessage() const
{
    if (cancelled)
        return {};
    switch (read.status) {
    case rinex::ReadStatus::Ok:
        break;
    case rinex::ReadStatus::Cancelled:
        return {};
    case rinex::ReadStatus::StoppedAtLine:
        return read.message + "\nΟ πίνακας και τα αρχεία του σημείου δεν άλλαξαν.";
    case rinex::ReadStatus::CannotOpen:
    case rinex::ReadStatus::HeaderError:
        // Nothing was read and nothing changed.
        return read.message;
    }
    if (!stored)
        return storeError;
    return settingsError;
}

rinex::ReadResult RinexTable::readObservations(const std::string& FileName, bool replace)
{
    MemTable next("RINEX");
    rinex::ReadResult r = readInto(next, FileName, replace);
    if (r.ok())
        take(next);
    return r;
}

rinex::ReadResult RinexTable::readInto(MemTable& next, const std::string& FileName, bool replace)
{
    defineRinexTable(next);
    // `next` is only stored and copied, both in storage order: it stays in a
    // quiet section for good, so that it is never sorted.
    next.disableControls();
    if (!replace)
        next.appendRecordsFrom(table_);
    TableSink sink(next);
    // After the first piece of the file, memory for the records of the whole
    // file is reserved at the rate that piece gave (and a tenth more), so
    // that the columns of a large file are not copied as they grow.
    const int before = next.recordCount();
    bool reserved = false;
    const rinex::Progress reportAndReserve = [&](std::uint64_t done, std::uint64_t total) {
        const int read = next.recordCount() - before;
        if (!reserved && read > 0 && done > 0 && done < total) {
            reserved = true;
            const double perByte = static_cast<double>(read) / static_cast<double>(done);
            next.reserveRecords(
                static_cast<std::size_t>(perByte * static_cast<double>(total - done) * 1.1));
        }
        if (progress)
            progress(done, total);
    };
    return rinex::readObservationFile(FileName, sink, reportAndReserve, cancelRequested);
}

void RinexTable::take(MemTable& next)
{
    table_.disableControls();
    table_.clear();
    table_.takeRecordsFrom(next);
    table_.enableControls();
}

bool RinexTable::store(std::string& error) const
{
    // RINEXCompressSave: the same zlib layer as the network tables.
    const SaveResult r = SaveToFile(table_, RinexFileName);
    error = r.error;
    return r.ok;
}

bool RinexTable::load(LoadResult* detail)
{
    table_.disableControls();
    table_.clear();
    const LoadResult r = LoadFromFile(table_, RinexFileName);
    table_.enableControls();
    if (detail)
        *detail = r;
    return r.ok();
}

}  // namespace korthal
