#pragma once
// The property of the table files: a table read from a file is written to a
// new file and read again unchanged. On the way every value of the first
// records is fetched and shown as the windows would (calculated fields, plain
// texts, grid cells), so that no value a file can hold breaks them.

#include "fuzz/FuzzSupport.h"
#include "geodesy/DatumShift.h"
#include "network/PointTables.h"
#include "table/TableFile.h"
#include "views/RinexTable.h"
#include "views/SketchLayout.h"

namespace korthal::fuzz {

enum class TableKind { Network, Reference, Rinex };

// The table an input is read as: by its size, so that the same input always
// goes to the same table and a mutation that changes the size tries another.
inline TableKind tableKindOf(std::size_t size)
{
    return size % 3 == 0 ? TableKind::Network : size % 3 == 1 ? TableKind::Reference
                                                              : TableKind::Rinex;
}

// A table of one kind with what its handlers read.
struct FuzzTable {
    explicit FuzzTable(TableKind k) : kind(k), table(k == TableKind::Network     ? "GPS"
                                                     : k == TableKind::Reference ? "GYS"
                                                                                 : "RINEX")
    {
        table.setDecimalSeparator(',');
        if (kind == TableKind::Network) {
            defineGPS(table, shifts);
        } else if (kind == TableKind::Reference) {
            defineGYS(table);
            installGYSfGetText(table, settings, system);
        } else {
            defineRinexTable(table);
        }
    }

    // Every field of the first records, as text and as the grids show them.
    void showAll() const
    {
        int shown = 0;
        for (Rec r = table.firstStored(); r != NoRec && shown < 16; r = table.nextStored(r), ++shown) {
            for (int f = 0; f < table.fieldCount(); ++f) {
                (void)table.fetch(r, f);
                (void)table.text(r, f);
            }
            for (int c = 0; c < 8; ++c) {
                if (kind == TableKind::Network) {
                    for (NetworkView view : {NetworkView::Egsa87Projected,
                                             NetworkView::Egsa87Geographic, NetworkView::Hatt})
                        for (InputForm form : {InputForm::Geocentric, InputForm::Ellipsoidal})
                            (void)networkCellText(table, r, c, view, form, numbers, settings);
                } else if (kind == TableKind::Reference) {
                    (void)referenceCellText(table, r, c, numbers, settings);
                }
            }
        }
        if (kind == TableKind::Network)
            showSketch();
    }

    // The network sketch in its three modes, fitted to the screen's picture,
    // with the readout of every point drawn.
    void showSketch() const
    {
        for (int mode = 0; mode < 3; ++mode) {
            const std::vector<SketchPoint> points = sketchPoints(table, mode, SketchAllPoints, shifts);
            if (points.empty())
                continue;
            const SketchWindow window = sketchWindow(points, mode, shifts);
            const SketchFrame frame =
                fitFrame(window, kSketchPictureWidth, kSketchPictureHeight);
            const SketchLayout layout =
                layoutSketch(points, frame, window.spacing, mode, kSketchPictureWidth,
                             kSketchPictureHeight, 1, true, numbers);
            for (const SketchHit& hit : layout.hits)
                (void)sketchReadout(mode, hit.x, hit.y, numbers);
        }
    }

    TableKind kind;
    Separators system{',', '.'};
    DatumShiftTable shifts;
    NumberSettings settings;
    NumberText numbers{system};
    MemTable table;
};

// Reads the table file at `path` into a table of the kind, shows it, writes
// it to a new file and reads that back: both must hold the same table text.
inline void checkTableFile(TableKind kind, const std::string& path)
{
    FuzzTable first(kind);
    LoadFromFile(first.table, path);
    first.showAll();

    const std::string copy = scratchFile("copy");
    const SaveResult saved = SaveToFile(first.table, copy);
    if (!saved)
        fuzzFail("the table could not be written: " + saved.error);
    FuzzTable second(kind);
    const LoadResult again = LoadFromFile(second.table, copy);
    if (!again.ok())
        fuzzFail("the written file does not read back: " + again.message(copy));
    const std::string a = tableText(first.table), b = tableText(second.table);
    if (a != b)
        fuzzFail("the table read back differs from the one written", a, b);
}

}  // namespace korthal::fuzz
