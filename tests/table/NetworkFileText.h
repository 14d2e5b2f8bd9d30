#pragma once
// The network table as the table file tests read and write it.

#include "network/PointTables.h"
#include "table/MemTable.h"

#include <string>

namespace korthal::test {

// The network file's header line in code page 1253, byte by byte.
inline const std::string kGpsHeader =
    "\"ID\",\"\xD3\xE7\xEC\xE5\xDF\xEF\",\"X  (m)\",\"Y  (m)\",\"Z  (m)\",\"E  (m)\",\"N  (m)\","
    "\"H  (m)\",\"detailPoint\",\"Perigrafh\",\"Sxolio1\",\"Sxolio2\",\"Sxolio3\",\"Sxolio4\","
    "\"Sxolio5\",\"Sxolio6\",\"\xE1\xF0\xEF\xF7\xDE\",\"xxxxxx\",\"f\",\"l\",\"hp\",\"Hx\","
    "\"Hy\",\"Hh\",\"ApoxhHatt\",\r\n";

// An empty network table.
struct Gps {
    DatumShiftTable shifts;
    MemTable t{"GPS"};
    Gps() { defineGPS(t, shifts); }
};

}  // namespace korthal::test
