// The conversion formulas in double agree with those in Extended to a
// micrometre anywhere in Greece, so that bulk conversions may run in double.

#include "geodesy/Angles.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Geoid.h"
#include "geodesy/HATT.h"
#include "geodesy/TM87.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace korthal;

namespace {

constexpr Extended kDeg = kPi / 180;
constexpr double kMicrometre = 1e-6;
// An angle as a distance on the ground (m).
constexpr double kMetresPerRadian = 6.4e6;

// Calls f with φ, λ (radians) and h over Greece and a little beyond.
void overGreece(const std::function<void(Extended, Extended, Extended)>& f)
{
    for (Extended phi = 33.75L; phi <= 42.25L; phi += 0.37L)
        for (Extended lam = 19; lam <= 30; lam += 0.41L)
            for (Extended h : {-50.0L, 0.0L, 812.345L, 3000.0L})
                f(phi * kDeg, lam * kDeg, h);
}

// The largest of the differences seen, in metres.
struct Worst {
    double metres = 0;
    void add(Extended a, double b, double scale = 1)
    {
        metres = std::max(metres, std::fabs(static_cast<double>(a) - b) * scale);
    }
};

}  // namespace

TEST(FloatTypes, EllipsoidAndProjectionFormulasAgree)
{
    Worst geocentric, ellipsoidal, tm87, inverse, hatt, hattInverse;
    overGreece([&](Extended phi, Extended lam, Extended h) {
        const double dphi = static_cast<double>(phi), dlam = static_cast<double>(lam);
        const double dh = static_cast<double>(h);
        for (int ell = WGS84; ell <= GR; ++ell) {
            const Geocentric x = EllipsoidalToGeocentric(ell, phi, lam, h);
            const auto xd = EllipsoidalToGeocentric<double>(ell, dphi, dlam, dh);
            geocentric.add(x.X, xd.X);
            geocentric.add(x.Y, xd.Y);
            geocentric.add(x.Z, xd.Z);
            const Geographic g = GeocentricToEllipsoidal(ell, x.X, x.Y, x.Z);
            const auto gd = GeocentricToEllipsoidal<double>(ell, static_cast<double>(x.X),
                                                            static_cast<double>(x.Y),
                                                            static_cast<double>(x.Z));
            ellipsoidal.add(g.phi, gd.phi, kMetresPerRadian);
            ellipsoidal.add(g.lambda, gd.lambda, kMetresPerRadian);
            ellipsoidal.add(g.h, gd.h);
        }
        const TM87 t = EllipsoidalToTM87(phi, lam, h, 31.5L);
        const auto td = EllipsoidalToTM87<double>(dphi, dlam, dh, 31.5);
        tm87.add(t.E, td.E);
        tm87.add(t.N, td.N);
        tm87.add(t.H, td.H);
        const Geographic back = TM87ToEllipsoidal(t.E, t.N, t.H, 31.5L);
        FootpointCheck check;
        const auto backd = TM87ToEllipsoidal<double>(static_cast<double>(t.E),
                                                     static_cast<double>(t.N),
                                                     static_cast<double>(t.H), 31.5, &check);
        EXPECT_TRUE(check.converged);
        inverse.add(back.phi, backd.phi, kMetresPerRadian);
        inverse.add(back.lambda, backd.lambda, kMetresPerRadian);
        inverse.add(back.h, backd.h);

        const HattPoint p = EllipsoidalToHATT(phi, lam, h, -2.5L);
        const auto pd = EllipsoidalToHATT<double>(dphi, dlam, dh, -2.5);
        if (pd.sheet.i == p.sheet.i && pd.sheet.j == p.sheet.j) {
            hatt.add(p.x, pd.x);
            hatt.add(p.y, pd.y);
        } else {
            ADD_FAILURE() << "different sheets at " << dphi << " " << dlam;
        }
        const Geographic hb = HATTToEllipsoidal(p.x, p.y, p.H, -2.5L, p.sheet);
        const auto hbd = HATTToEllipsoidal<double>(static_cast<double>(p.x),
                                                   static_cast<double>(p.y),
                                                   static_cast<double>(p.H), -2.5, p.sheet);
        hattInverse.add(hb.phi, hbd.phi, kMetresPerRadian);
        hattInverse.add(hb.lambda, hbd.lambda, kMetresPerRadian);
    });
    EXPECT_LT(geocentric.metres, kMicrometre);
    EXPECT_LT(ellipsoidal.metres, kMicrometre);
    EXPECT_LT(tm87.metres, kMicrometre);
    EXPECT_LT(inverse.metres, kMicrometre);
    EXPECT_LT(hatt.metres, kMicrometre);
    EXPECT_LT(hattInverse.metres, kMicrometre);
}

TEST(FloatTypes, GpsPointToTM87AgreesInBothInputForms)
{
    DatumShiftTable shifts;
    shifts.refill({200.2, -74.8, -246.0}, {-454.944, -375.483, -502.543}, {86.9, 92.5, 128.8});
    Worst worst;
    overGreece([&](Extended phi, Extended lam, Extended h) {
        const Geocentric x = EllipsoidalToGeocentric(WGS84, phi, lam, h);
        const double X = static_cast<double>(x.X), Y = static_cast<double>(x.Y);
        const double Z = static_cast<double>(x.Z);
        const TM87 a = WGS84ToTM87(shifts, InputForm::Geocentric, X, Y, Z, 30);
        const auto ad = WGS84ToTM87<double>(shifts, InputForm::Geocentric, X, Y, Z, 30);
        worst.add(a.E, ad.E);
        worst.add(a.N, ad.N);
        worst.add(a.H, ad.H);
        const double A = static_cast<double>(RadToDMS(phi)), B = static_cast<double>(RadToDMS(lam));
        const TM87 b = WGS84ToTM87(shifts, InputForm::Ellipsoidal, A, B, static_cast<double>(h), 30);
        const auto bd = WGS84ToTM87<double>(shifts, InputForm::Ellipsoidal, A, B, static_cast<double>(h), 30);
        worst.add(b.E, bd.E);
        worst.add(b.N, bd.N);
        worst.add(b.H, bd.H);
    });
    EXPECT_LT(worst.metres, kMicrometre);
}

TEST(FloatTypes, FootpointCheckReports)
{
    FootpointCheck bad;
    EXPECT_TRUE(std::isnan(FootpointLatitude<double>(EGSA87, std::nan(""), &bad)));
    EXPECT_FALSE(bad.converged);

    FootpointCheck good;
    const double phi = FootpointLatitude<double>(EGSA87, 4207498.020, &good);
    EXPECT_TRUE(good.converged);
    EXPECT_FALSE(good.nearLimit);
    EXPECT_NEAR(phi, static_cast<double>(38 * kDeg), 1e-9);
}

TEST(FloatTypes, GeoidSaysWhenAPositionLiesOnAStep)
{
    DatumShiftTable shifts;
    bool nearStep = true;
    // Inside a cell, far from its edges.
    ASSERT_TRUE(GeoidUndulation(shifts, static_cast<double>(38.1 * kDeg),
                                static_cast<double>(23.6 * kDeg), &nearStep));
    EXPECT_FALSE(nearStep);
    // On a cell edge (38° is a whole quarter-degree).
    GeoidUndulation(shifts, static_cast<double>(38 * kDeg), static_cast<double>(23.6 * kDeg),
                    &nearStep);
    EXPECT_TRUE(nearStep);
    // Outside the grid the answer is still given.
    nearStep = true;
    EXPECT_FALSE(GeoidUndulation(shifts, 0.1, 0.1, &nearStep));
}
