// The table of geocentric translations between the four datums, and the
// composite conversion of a GPS point to TM87.

#include "geodesy/DatumShift.h"

#include "geodesy/Angles.h"

namespace korthal {

namespace {

ShiftTriple minus(const ShiftTriple& a) { return {-a.dX, -a.dY, -a.dZ}; }

ShiftTriple difference(const ShiftTriple& a, const ShiftTriple& b)
{
    return {a.dX - b.dX, a.dY - b.dY, a.dZ - b.dZ};
}

void addShift(const ShiftTriple& s, double& X, double& Y, double& Z)
{
    X = double(Extended(X) + Extended(s.dX));
    Y = double(Extended(Y) + Extended(s.dY));
    Z = double(Extended(Z) + Extended(s.dZ));
}

}  // namespace

DatumShiftTable::DatumShiftTable()
{
    // The values in force before any settings are read.
    t_[0] = {{{0, 0, 0}, {200.2, -74.8, -246.0}, {86.9, 92.5, 128.8}, {-454.8, -373.8, -497.7}}};
    t_[1] = {{{-200.2, 74.8, 246.0}, {0, 0, 0}, {-113.3, 167.3, 374.8}, {-655.0, -299.0, -251.7}}};
    t_[2] = {{{-86.9, -92.5, -128.8}, {113.3, -167.3, -374.8}, {0, 0, 0}, {-541.7, -466.3, -626.5}}};
    t_[3] = {{{454.8, 373.8, 497.7}, {655.0, 299.0, 251.7}, {541.7, 466.3, 626.5}, {0, 0, 0}}};
}

void DatumShiftTable::refill(ShiftTriple grs80, ShiftTriple bessel, ShiftTriple ed50)
{
    for (auto& row : t_)
        row.fill(ShiftTriple{});
    t_[0][1] = grs80;
    t_[1][0] = minus(t_[0][1]);
    t_[0][3] = bessel;
    t_[3][0] = minus(t_[0][3]);
    t_[0][2] = ed50;
    t_[2][0] = minus(t_[0][2]);
    t_[1][2] = difference(t_[0][2], t_[0][1]);
    t_[2][1] = minus(t_[1][2]);
    t_[1][3] = difference(t_[0][3], t_[0][1]);
    t_[3][1] = minus(t_[1][3]);
    t_[2][3] = difference(t_[1][3], t_[1][2]);
    t_[3][2] = minus(t_[2][3]);
}

void ShiftWGS84ToEGSA87(const DatumShiftTable& shifts, double& X, double& Y, double& Z)
{
    addShift(shifts(WGS84, EGSA87), X, Y, Z);
}

void ShiftEGSA87ToWGS84(const DatumShiftTable& shifts, double& X, double& Y, double& Z)
{
    addShift(shifts(EGSA87, WGS84), X, Y, Z);
}

template <class T>
BasicTM87<T> WGS84ToTM87(const DatumShiftTable& shifts, InputForm form, double A,
                         double B, double C, double undulation)
{
    if (form == InputForm::Ellipsoidal) {
        // φ, λ packed and h: to geocentric on WGS84, kept as doubles.
        const BasicGeocentric<T> g =
            EllipsoidalToGeocentric<T>(WGS84, T(DMSToRad(A)), T(DMSToRad(B)), C);
        A = double(g.X);
        B = double(g.Y);
        C = double(g.Z);
    }
    ShiftWGS84ToEGSA87(shifts, A, B, C);
    const BasicGeographic<T> e = GeocentricToEllipsoidal<T>(EGSA87, A, B, C);
    return EllipsoidalToTM87<T>(e.phi, e.lambda, e.h, undulation);
}

template BasicTM87<double> WGS84ToTM87<double>(const DatumShiftTable&, InputForm, double, double,
                                               double, double);
template BasicTM87<Extended> WGS84ToTM87<Extended>(const DatumShiftTable&, InputForm, double, double,
                                                   double, double);

TM87 WGS84ToTM87(const DatumShiftTable& shifts, InputForm form, double A, double B,
                 double C, double undulation)
{
    return WGS84ToTM87<Extended>(shifts, form, A, B, C, undulation);
}

}  // namespace korthal
