#pragma once
// The fields of an in-memory table: their types and definitions, the value
// of one field of one record, and the handle of a record.

#include <cstdint>
#include <limits>
#include <string>
#include <variant>

namespace korthal {

enum class FieldType {
    AutoInc,  // auto-increment integer: the record's identity (at most one per table)
    Integer,  // 32-bit integer
    Float,    // double
    Boolean,  // with display texts (trueText/falseText)
    String,   // fixed maximum size in characters
    Memo,     // text of any length, line breaks included
    Date,     // a calendar day
};

enum class Alignment { Left, Right, Center };

// A calendar day. Stored as a day number; 0/0/0 is not a valid date.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const Date&) const = default;
    // Days since 1899-12-30 (the usual serial day number), and back.
    std::int32_t serial() const;
    static Date fromSerial(std::int32_t serial);
    bool valid() const;
};

// One field value; std::monostate is null.
using Value = std::variant<std::monostate, long long, double, bool, std::string, Date>;

inline bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

// A double read as an integer, cut toward zero. Values beyond the range of
// long long give its ends and not-a-number gives 0: a double from a file can
// be anything, and the plain conversion of those is undefined.
long long truncatedInteger(double d);

struct FieldDef {
    FieldDef() = default;
    FieldDef(std::string fieldName, FieldType fieldType, int fieldSize = 0)
        : name(std::move(fieldName)), type(fieldType), size(fieldSize) {}
    // A calculated field of the given type.
    static FieldDef calc(std::string fieldName, FieldType fieldType = FieldType::Float)
    {
        FieldDef d(std::move(fieldName), fieldType);
        d.calculated = true;
        return d;
    }

    std::string name;
    FieldType type = FieldType::Float;
    int size = 0;              // String: maximum number of characters
    std::string label;         // display label; empty means the field name
    bool calculated = false;   // filled by the calc handler, never stored
    Value defaultValue;        // for new records; null means no default
    std::string trueText = "True";    // Boolean display texts (the "c;" of detailPoint
    std::string falseText = "False";  // is trueText "c", falseText "")
    std::string displayFormat;  // standard text formats, kept for the views
    std::string editFormat;
    Alignment alignment = Alignment::Left;
    bool readOnly = false;

    const std::string& displayName() const { return label.empty() ? name : label; }
    bool isText() const { return type == FieldType::String || type == FieldType::Memo; }
};

using Rec = std::uint32_t;
inline constexpr Rec NoRec = std::numeric_limits<Rec>::max();

}  // namespace korthal
