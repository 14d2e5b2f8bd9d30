#pragma once
// The in-memory table: typed fields, records held column by column, an
// ordering index, a cursor with edit/post, calculated fields and events.
//
// Storage. Every data field has one column. Numbers, Booleans, dates and
// integers are stored as one small plain value per record (int32 or double);
// string and memo fields store a 4-byte reference into a table-wide pool, the
// empty text needing no pool entry. Calculated fields take no storage per
// record: they are filled by the calc handler for the record that is fetched.
// A record is addressed by its Rec, a slot number that stays valid for the
// record's life. Slots are handed out in increasing order, so the storage
// order (the order in which records were added, which the file keeps) is the
// order of the live slots.
//
// Null. Every data field keeps one null bit per record. A null value is not
// the same as an empty text, a zero or false: the file writes a null as no
// item at all and a false/empty value as a quoted empty text. Through the
// Value type a null is std::monostate. A new record starts with every field
// null except the fields that have a default and the auto-increment field.
//
// Order. The active index orders the records by its fields (nulls first,
// false before true, strings by their UTF-8 bytes), ties broken by storage
// order; row r is the r-th record in that order. A table without an index
// shows the records in storage order. Outside a quiet section (see
// disableControls) every change keeps the order exact and is announced row by
// row to the listeners; inside one, appends and key changes only mark the
// order stale and it is sorted once, on the next access by row (so a bulk load
// of n records costs O(n log n), not O(n^2)).
//
// Text. All strings are UTF-8 in memory. The size of a string field counts
// characters (code points), which are single bytes in the files.
//
// One thread only; the table is not safe for concurrent use.

#include "table/Field.h"
#include "table/IdMap.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

class MemTable;

// What text typed into a field did: whether a value was stored and, for
// text the field's type cannot take, the message to show (nothing is shown
// by the table itself).
struct TextEntry {
    bool stored = false;
    std::string error;
    explicit operator bool() const { return stored; }
};

// Read access to the values of one record: a stored record, or the record
// being edited (its edit buffer), as the calc and get-text handlers see it.
class RecordView {
public:
    RecordView(const MemTable& table, Rec rec) : table_(&table), rec_(rec) {}
    const MemTable& table() const { return *table_; }
    Rec rec() const { return rec_; }
    bool isNull(int field) const;
    double asFloat(int field) const;       // null reads 0
    long long asInteger(int field) const;  // null reads 0
    bool asBoolean(int field) const;       // null reads false
    std::string asString(int field) const; // null reads ""
    Date asDate(int field) const;          // null reads 0/0/0
    Value value(int field) const;

private:
    friend class MemTable;
    RecordView(const MemTable& table, Rec rec, const std::vector<Value>* buffer)
        : table_(&table), rec_(rec), buffer_(buffer) {}
    const MemTable* table_;
    Rec rec_;
    const std::vector<Value>* buffer_ = nullptr;
};

// Where the calc handler writes the calculated fields of one record.
class CalcValues {
public:
    void set(int field, Value v);
    void setFloat(int field, double v) { set(field, v); }
    void setString(int field, std::string v) { set(field, std::move(v)); }

private:
    friend class MemTable;
    std::vector<Value>* values_ = nullptr;
    const std::vector<FieldDef>* fields_ = nullptr;
};

// Told of every change of the rows, so that a view (a Qt table model) can show
// the table without copying it. begin* comes before the change, end* after,
// with rows in the order of the active index. While controls are disabled the
// listeners get one beginReset at the start and one endReset at the end and
// nothing in between.
class TableListener {
public:
    virtual ~TableListener() = default;
    virtual void beginReset() {}
    virtual void endReset() {}
    virtual void beginInsertRow(int /*row*/) {}
    virtual void endInsertRow() {}
    virtual void beginRemoveRow(int /*row*/) {}
    virtual void endRemoveRow() {}
    // The record at row `from` moves so that it ends up at row `to` (the row
    // after the move). A Qt model passes destinationChild = to > from ? to + 1 : to.
    virtual void beginMoveRow(int /*from*/, int /*to*/) {}
    virtual void endMoveRow() {}
    // Values of the record at `row` changed (stored or calculated): after
    // every setValue outside a quiet section and after every post.
    virtual void rowChanged(int /*row*/) {}
    // The cursor moved to `row` (-1: no current record).
    virtual void currentChanged(int /*row*/) {}
};

class MemTable {
public:
    enum class State { Browse, Edit, Insert };

    using Event = std::function<void(MemTable&)>;
    using BeforeEvent = std::function<bool(MemTable&)>;  // false cancels
    using CalcHandler = std::function<void(const RecordView&, CalcValues&)>;
    // Sets the current record's field from text typed by the user (the table
    // is in Edit or Insert state when it runs).
    using SetTextHandler = std::function<void(MemTable&, int field, const std::string& text)>;
    using GetTextHandler = std::function<std::string(const RecordView&, int field)>;

    explicit MemTable(std::string name = {});
    ~MemTable();
    MemTable(const MemTable&) = delete;
    MemTable& operator=(const MemTable&) = delete;

    const std::string& name() const { return name_; }

    // ---- Definition (before the first record) ----
    int addField(FieldDef def);  // returns the field index
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const FieldDef& field(int i) const { return fields_[static_cast<std::size_t>(i)]; }
    FieldDef& field(int i) { return fields_[static_cast<std::size_t>(i)]; }
    const std::vector<FieldDef>& fields() const { return fields_; }
    // Index of the field called `name` (without regard to ASCII case), or -1.
    int fieldIndex(std::string_view name) const;
    // The auto-increment field, or -1.
    int idField() const { return idField_; }

    // An index over the fields named in `fieldList`, separated by ';' (names
    // without regard to case). The first index added becomes active.
    void addIndex(const std::string& indexName, const std::string& fieldList);
    // Makes an index active ("" for storage order). Listeners get a reset; the
    // current record stays current. False when no such index exists.
    bool setIndex(const std::string& indexName);
    const std::string& indexName() const { return activeIndexName_; }
    std::vector<std::string> indexNames() const;

    // ---- Handlers and events ----
    CalcHandler onCalcFields;
    Event afterPost, afterInsert, afterDelete, afterScroll, afterCancel;
    BeforeEvent beforeDelete;  // asked before a cursor delete (the deletion question)
    void setSetTextHandler(int field, SetTextHandler h);
    void setGetTextHandler(int field, GetTextHandler h);
    void addListener(TableListener* l);
    void removeListener(TableListener* l);

    // ---- Records by handle (no events, no cursor; listeners are told) ----
    int recordCount() const { return static_cast<int>(liveCount_); }
    bool isEmpty() const { return liveCount_ == 0; }
    // Appends a record with the defaults and, for a table with an
    // auto-increment field, the next ID. Returns it.
    Rec appendRecord();
    // Memory for `more` records beyond those there are, so that a load that
    // knows its size does not copy the columns as they double. The memory is
    // only reserved: what no record comes to use is never touched.
    void reserveRecords(std::size_t more);
    // Removes every record. The next ID starts again at 1.
    void clear();
    void deleteRecord(Rec r);
    // Appends copies of every record of `source` (in its storage order), a
    // table with the same fields (types in the same order) and no
    // auto-increment field, in one quiet section: listeners get one reset.
    // False, with nothing changed, for a table of another definition.
    bool appendRecordsFrom(const MemTable& source);
    // As appendRecordsFrom, but `source` is given up: when this table has no
    // records, the storage of the records changes hands instead of being
    // copied, and `source` is left empty.
    bool takeRecordsFrom(MemTable& source);
    bool isLive(Rec r) const;

    // ---- Reading a record's stored values ----
    bool isNull(Rec r, int field) const;
    double getFloat(Rec r, int field) const;       // null reads 0
    long long getInteger(Rec r, int field) const;  // Integer, AutoInc, Boolean (0/1)
    bool getBoolean(Rec r, int field) const;
    std::string getString(Rec r, int field) const;
    std::string_view getStringView(Rec r, int field) const;
    Date getDate(Rec r, int field) const;
    Value getValue(Rec r, int field) const;  // calculated fields included
    RecordView view(Rec r) const { return RecordView(*this, r); }

    // ---- Storing a record's values ----
    // Setters store the value (strings cut to the field's size) and keep the
    // order and the ID lookup right. A value of the wrong kind is converted
    // where that is plain (integer <-> float, bool <-> integer) and otherwise
    // rejected with false, as is an ID that another record holds.
    bool setValue(Rec r, int field, const Value& v);
    // The typed setters do what setValue does with a Value of their type.
    // They store straight into the field's column when nothing but the value
    // changes (a field of their own type, not the ID, and no view to be told
    // row by row or the order kept exact): whole-table loads and bulk
    // appends spend their time here.
    void setNull(Rec r, int field);
    void setFloat(Rec r, int field, double v);
    void setInteger(Rec r, int field, long long v);
    void setBoolean(Rec r, int field, bool v);
    void setString(Rec r, int field, std::string_view v);
    void setDate(Rec r, int field, Date v);

    // ---- Walking the records and finding them ----
    // Storage order: the live records in the order they were added.
    Rec firstStored() const;
    Rec nextStored(Rec r) const;  // NoRec after the last
    Rec lastStored() const;
    std::vector<Rec> storageOrder() const;

    // Index order.
    Rec recAt(int row) const;   // NoRec when out of range
    int rowOf(Rec r) const;     // -1 when not live

    // ID lookup (tables with an auto-increment field). NoRec when absent.
    Rec findID(long long id) const;
    // The first record in storage order whose string or memo field holds
    // `text` (a null value holds ""); NoRec when none does. A binary search
    // when the active index orders by that field alone, else a walk.
    Rec findText(int field, std::string_view text) const;
    // The ID the next appended record gets; always above every ID loaded or
    // set so far.
    long long nextID() const { return nextId_; }

    // ---- Values and texts for display ----
    // The value of any field of a record for display: calculated fields are
    // computed (and cached for the last record fetched).
    Value fetch(Rec r, int field) const;
    // The field's text: its get-text handler, otherwise the plain text
    // (Boolean texts, decimal integers, general format with
    // decimalSeparator(), dd/mm/yyyy dates, strings as they are). Null gives "".
    std::string text(Rec r, int field) const;
    // The decimal separator of plain texts and of typed text without a
    // set-text handler: the system's (localeSeparators) unless set.
    void setDecimalSeparator(char c) { decimalSep_ = c; }
    char decimalSeparator() const { return decimalSep_; }
    // Forget cached calculated values (after a change of whatever the calc
    // handler reads from outside the table, such as settings).
    void invalidateCalc() const { calcRec_ = NoRec; }

    // ---- Cursor ----
    State state() const { return state_; }
    Rec current() const { return cur_; }
    int currentRow() const;  // -1 when the table is empty
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    // Movements post a pending edit first (as moving off a record does) and
    // fire afterScroll.
    void first();
    void last();
    void next();   // sets eof() when already at the last record
    void prior();  // sets bof() when already at the first record
    bool moveToRow(int row);
    bool moveTo(Rec r);
    bool locateID(long long id);
    // First record in index order whose field equals v.
    bool locate(int field, const Value& v);

    // ---- Editing through the cursor ----
    // Puts the current record into Edit state (a no-op while editing).
    void edit();
    // Adds a record (defaults, next ID), makes it current in Insert state and
    // returns it. The record exists at once (views show it); post() keeps it,
    // cancel() removes it again. afterInsert fires here.
    Rec append();
    // Writes the edit buffer into the record, re-sorts it, fires afterPost.
    void post();
    // Drops the edit buffer (and an appended record). Fires afterCancel.
    void cancel();
    // Asks beforeDelete; if it agrees, deletes the current record, fires
    // afterDelete. The next record (or the previous at the end) becomes
    // current. Returns whether a record was deleted.
    bool remove();

    // ---- The current record's values (the edit buffer while editing) ----
    RecordView currentView() const;
    bool isNull(int field) const;
    double asFloat(int field) const;
    long long asInteger(int field) const;
    bool asBoolean(int field) const;
    std::string asString(int field) const;
    Date asDate(int field) const;
    Value value(int field) const;  // calculated fields included
    // Stores v into the current record's edit buffer, entering Edit state
    // from Browse. False, with nothing stored, when there is no current
    // record (append() makes one), for a calculated field, and for a value
    // the field's type cannot take.
    bool set(int field, const Value& v);
    bool setNull(int field);
    // By name, for readable handlers; an unknown name is a programming error.
    double asFloat(std::string_view fieldName) const { return asFloat(requireField(fieldName)); }
    void set(std::string_view fieldName, const Value& v) { set(requireField(fieldName), v); }
    // Text typed for the current record's field: the field's set-text handler
    // if it has one (which reports on its own; stored is then true),
    // otherwise parseText with `decimalSeparator()`. Text the field cannot
    // take leaves the value as it was and comes back with the conversion
    // message. Without a current record nothing happens.
    TextEntry setText(int field, const std::string& text);
    std::string text(int field) const;

    // Converts text to a value of the field's type the plain way. Empty text
    // gives null for numbers and dates, "" for strings and memos, and for a
    // Boolean the value whose display text is empty (null if neither is).
    // A Boolean text matches a display text when it is, without regard to
    // case, the start of it (false tried first). Returns false for text that
    // the type cannot take.
    bool parseText(int field, std::string_view text, char decimal, Value& out) const;

    // ---- Quiet sections ----
    // While disabled (calls nest) views are not told row by row: they get one
    // reset around the whole section, and the order is sorted lazily. Events
    // still fire; the application's LoadingData flag tells its handlers to
    // stay idle. Use for loads, bulk appends and walks over the whole table.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return disabled_ > 0; }

    // ---- Checks ----
    // The index of a field that must exist (a programming error otherwise).
    int requireField(std::string_view fieldName) const;

    // The number of bytes held for the records (columns, null bits, strings),
    // for tests of memory use.
    std::size_t memoryUse() const;

private:
    struct Column;
    struct Index;
    // The writer of the table text (table/TableText.cpp) reads the columns
    // directly.
    friend struct TableTextAccess;

    void checkRec(Rec r) const;
    Value storedValue(Rec r, int field) const;
    void storeValue(Rec r, int field, const Value& v);
    bool convert(int field, const Value& in, Value& out) const;
    void computeCalc(Rec r, const std::vector<Value>* buffer) const;
    int compareRecs(Rec a, Rec b) const;
    // The column of a field that a typed setter may store into directly, or
    // null when setValue must do it.
    Column* plainColumn(Rec r, int field, FieldType type);
    // Same fields (types, calculated or not) as `source`, and no
    // auto-increment field: records can pass from one to the other.
    bool takesRecordsOf(const MemTable& source) const;
    bool isKey(int field) const;
    void storedKey(Rec r, int field);
    void ensureSorted() const;
    void sortOrder() const;
    void indexInsert(Rec r);
    int indexErase(Rec r);
    void reposition(Rec r);
    void fireScroll();
    void notifyCurrent();
    void loadBuffer();
    template <typename F> void notify(F&& f) const;

    std::string name_;
    std::vector<FieldDef> fields_;
    std::vector<std::unique_ptr<Column>> columns_;  // one per field; null for calculated
    std::vector<SetTextHandler> setText_;
    std::vector<GetTextHandler> getText_;
    int idField_ = -1;

    // Records.
    std::vector<std::uint8_t> live_;
    std::size_t liveCount_ = 0;
    std::size_t columnRoom_ = 0;  // records the columns have room for
    std::vector<std::string> pool_;     // string storage; entry 0 unused
    std::vector<std::uint32_t> freePool_;
    // A text's slot in the pool: the text of a cell with none gets a free or
    // new slot; an emptied text gives its slot back (the cell then holds 0).
    std::uint32_t takePoolSlot();
    void releasePoolSlot(std::uint32_t ref);
    IdMap idLookup_;
    long long nextId_ = 1;

    // Order.
    std::vector<std::unique_ptr<Index>> indexes_;
    Index* active_ = nullptr;
    std::vector<std::uint8_t> activeKey_;  // per field: 1 when the active index orders by it
    std::string activeIndexName_;
    mutable std::vector<Rec> order_;  // rows -> records
    mutable bool orderStale_ = false;

    // Cursor.
    State state_ = State::Browse;
    Rec cur_ = NoRec;
    bool bof_ = true;
    bool eof_ = true;
    std::vector<Value> editBuf_;

    // Calculated values of the last record fetched.
    mutable Rec calcRec_ = NoRec;
    mutable std::vector<Value> calcValues_;

    char decimalSep_;
    int disabled_ = 0;
    std::vector<TableListener*> listeners_;
};

}  // namespace korthal
