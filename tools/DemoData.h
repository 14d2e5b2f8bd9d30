#pragma once
// Realistic survey points for the demo data and the tests: EGSA87 TM87
// coordinates and orthometric heights, turned into WGS84 geocentric
// measurements by the EPSG Greek Grid relation GGRS87 -> WGS84
// (dX -199.87, dY 74.79, dZ 246.62 m), which differs from the program's
// default WGS84 -> EGSA87 shift by a few decimetres.

#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/Geoid.h"
#include "geodesy/TM87.h"
#include "table/MemTable.h"
#include "table/TableFile.h"
#include "network/PointTables.h"

#include <random>
#include <string>

namespace korthal::demo {

constexpr double kEpsgDX = -199.87, kEpsgDY = 74.79, kEpsgDZ = 246.62;

struct SurveyPoint {
    std::string name;
    double E = 0, N = 0, H = 0;         // EGSA87 TM87 (m), orthometric height (m)
    double apoxh = 0;                   // geoid undulation of the model (m)
    double phi = 0, lambda = 0, h = 0;  // GRS80 latitude, longitude (radians), height (m)
    double X = 0, Y = 0, Z = 0;         // WGS84 geocentric measurement (m)
};

// The point at E, N, H with its undulation from the geoid model (with the
// initial datum shifts) and its WGS84 measurement with normal noise of
// `noise` metres per axis (none when gen is null).
inline SurveyPoint surveyPoint(std::string name, double E, double N, double H,
                               std::mt19937_64* gen = nullptr, double noise = 0.015)
{
    static const DatumShiftTable shifts;
    SurveyPoint p;
    p.name = std::move(name);
    p.E = E, p.N = N, p.H = H;
    const Geographic g0 = TM87ToEllipsoidal(E, N, H, 0);
    p.apoxh = GeoidUndulation(shifts, double(g0.phi), double(g0.lambda)).value_or(0);
    const Geographic g = TM87ToEllipsoidal(E, N, H, p.apoxh);
    p.phi = double(g.phi), p.lambda = double(g.lambda), p.h = double(g.h);
    const Geocentric c = EllipsoidalToGeocentric(EGSA87, g.phi, g.lambda, g.h);
    double nx = 0, ny = 0, nz = 0;
    if (gen) {
        std::normal_distribution<double> d(0.0, noise);
        nx = d(*gen), ny = d(*gen), nz = d(*gen);
    }
    p.X = double(c.X) + kEpsgDX + nx;
    p.Y = double(c.Y) + kEpsgDY + ny;
    p.Z = double(c.Z) + kEpsgDZ + nz;
    return p;
}

// Appends the point to the reference point table as it is stored (name,
// TM87 coordinates, undulation, GRS80 coordinates), without the entry rules;
// with a description when one is given.
inline void appendReference(MemTable& y, const SurveyPoint& p, const std::string& description = {})
{
    y.append();
    y.set(gys::Name, p.name);
    y.set(gys::E, p.E);
    y.set(gys::N, p.N);
    y.set(gys::H, p.H);
    y.set(gys::apoxh, p.apoxh);
    y.set(gys::f, p.phi);
    y.set(gys::l, p.lambda);
    y.set(gys::ortho, p.h);
    if (!description.empty())
        y.set(gys::Perigrafh, description);
    y.post();
}

// A large network for measuring start-up: `dir`/big.WGS84 with n points on
// a grid around Athens, the first five of them reference points, and
// `dir`/EGSA87 naming those five. False when a file could not be written.
inline bool writeGridNetwork(const std::string& dir, int n)
{
    DatumShiftTable shifts;
    MemTable gps("GPS");
    defineGPS(gps, shifts);
    MemTable gys("GYS");
    defineGYS(gys);
    gps.disableControls();
    for (int i = 0; i < n; ++i) {
        const Rec r = gps.appendRecord();
        const bool ref = i < 5;
        gps.setString(r, gps::Name, (ref ? "R" : "P") + std::to_string(i));
        gps.setFloat(r, gps::X, 4595000.0 + 13.0 * (i % 100));
        gps.setFloat(r, gps::Y, 2031000.0 + 11.0 * (i / 100));
        gps.setFloat(r, gps::Z, 3903000.0 + 7.0 * (i % 37));
        gps.setFloat(r, gps::apoxh, 35.0);
        gps.setBoolean(r, gps::detailPoint, !ref);
        if (ref) {
            gps.setFloat(r, gps::E, 476000.0 + 100 * i);
            gps.setFloat(r, gps::N, 4200000.0 + 50 * i);
            gps.setFloat(r, gps::H, 100.0);
            const Rec g = gys.appendRecord();
            gys.setString(g, gys::Name, "R" + std::to_string(i));
            gys.setFloat(g, gys::E, 476000.0 + 100 * i);
            gys.setFloat(g, gys::N, 4200000.0 + 50 * i);
            gys.setFloat(g, gys::H, 100.0);
        }
    }
    gps.enableControls();
    return SaveToFile(gps, dir + "/big.WGS84").ok && SaveToFile(gys, dir + "/EGSA87").ok;
}

}  // namespace korthal::demo
