#pragma once
// The demo network (examples/demo) opened in a folder of its own, for the
// tests that export it and read the files back through GDAL.

#include "export/ExportTable.h"
#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/TM87.h"
#include "network/PointTables.h"
#include "project/Dialogs.h"
#include "project/Document.h"
#include "support/Files.h"
#include "support/GdalRead.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace korthal::test {

class DemoExport : public ::testing::Test {
protected:
    DemoExport()
    {
        for (const auto& e :
             std::filesystem::directory_iterator(KORTHAL_SOURCE_DIR "/examples/demo"))
            std::filesystem::copy_file(e.path(), temp.path / e.path().filename());
        doc.LoadReference(temp.file("EGSA87"));
        doc.openNetwork(temp.file("DEMO.WGS84"));
    }

    // Exports a table and reads the file back.
    ReadFile exported(const std::string& fileName, bool network = true)
    {
        const auto format = exportFormatOfPath(fileName);
        EXPECT_TRUE(format) << fileName;
        last = exportTableTo(doc, network, temp.file(fileName), *format);
        EXPECT_TRUE(last.ok) << last.error;
        return readBack(temp.file(fileName));
    }

    // The records of a table in its order.
    std::vector<Rec> records(bool network) const
    {
        const MemTable& t = network ? doc.GPS() : doc.GYS();
        std::vector<Rec> out;
        for (int row = 0; row < t.recordCount(); ++row)
            out.push_back(t.recAt(row));
        return out;
    }

    // Whether the hidden folder of an export was left behind.
    bool stagingLeft() const
    {
        for (const auto& e : std::filesystem::directory_iterator(temp.path))
            if (e.path().filename().string().rfind(".korthal-export", 0) == 0)
                return true;
        return false;
    }

    RecordingDialogs dialogs;
    TempDir temp{"export"};
    Document doc{Separators{'.', ','}};
    ExportResult last;
};

// WGS84 longitude, latitude (degrees) and ellipsoidal height to EGSA87 TM87
// by the datum shift, as the network computation goes (without the
// network's transformation).
inline TM87 wgs84ToEgsa87(const DatumShiftTable& shifts, double lon, double lat, double h,
                          double undulation)
{
    const Geocentric g = EllipsoidalToGeocentric(WGS84, lat * kPi / 180, lon * kPi / 180, h);
    double X = static_cast<double>(g.X), Y = static_cast<double>(g.Y), Z = static_cast<double>(g.Z);
    ShiftWGS84ToEGSA87(shifts, X, Y, Z);
    const Geographic e = GeocentricToEllipsoidal(EGSA87, X, Y, Z);
    return EllipsoidalToTM87(e.phi, e.lambda, e.h, undulation);
}

}  // namespace korthal::test
