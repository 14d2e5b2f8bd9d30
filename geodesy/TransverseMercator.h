#pragma once
// The transverse Mercator projection on any ellipsoid, written once and used
// for every grid of this kind that the program knows besides TM87: TM07 of
// HTRS07, the three 3° zones of TM3 on the old Greek datum and the two UTM
// zones of ED50. TM87 keeps its own series (geodesy/TM87.h), whose results
// stored files and earlier computations rely on.
//
// Formula: Krüger's series in the third flattening n to order n⁶, in the form
// of C. F. F. Karney, "Transverse Mercator with an accuracy of a few
// nanometers", J. Geodesy 85 (2011) 475–485, equations (7)–(11), (35), (36);
// the inverse takes the geodetic latitude from the conformal one by the
// series of φ − χ in n to order n⁶ from the same work, which agrees with
// Newton's solution of his equation (7) to 1e-17 rad at every latitude.
// Error: below 5 nm within 3900 km of the central meridian (Karney's
// figure); over Greece, even 7° off the central meridian as Rhodes lies in
// the western TM3 zone, it agrees with PROJ's implementation of the same
// series to far below 0.1 mm (tests keep the table).
//
// Like the other projections, the formulas are templates over the floating
// type, instantiated for double and Extended. Angles are radians, lengths
// metres. A TransverseMercator is fixed at construction; every method is
// const. Heights do not take part: the callers carry them.

#include "geodesy/Ellipsoids.h"
#include "geodesy/Extended.h"

namespace korthal {

// An ellipsoid as its authority defines it: semi-major axis and inverse
// flattening (the table of Ellipsoids.h holds rounded eccentricities).
struct EllipsoidDefinition {
    Extended a;     // semi-major axis (m)
    Extended invF;  // inverse flattening
};

constexpr EllipsoidDefinition kGRS80 = {6378137.0L, 298.257222101L};
constexpr EllipsoidDefinition kInternational1924 = {6378388.0L, 297.0L};
constexpr EllipsoidDefinition kBessel1841 = {6377397.155L, 299.1528128L};

// The parameters of one grid.
struct TransverseMercatorDefinition {
    EllipsoidDefinition ellipsoid;
    Extended lambda0;        // central meridian (radians)
    Extended phi0;           // latitude of origin (radians)
    Extended k0;             // scale on the central meridian
    Extended falseEasting;   // m
    Extended falseNorthing;  // m
};

template <class T>
struct BasicProjected {
    T E = 0;  // easting (m)
    T N = 0;  // northing (m)
};

// A position by the sines and cosines of its latitude and longitude.
template <class T>
struct GeographicTrig {
    T sinPhi = 0, cosPhi = 1, sinLambda = 0, cosLambda = 1;
};

class TransverseMercator {
public:
    explicit TransverseMercator(const TransverseMercatorDefinition& d);

    // φ, λ (radians) to E, N. Valid for |λ − λ0| up to about 35°.
    template <class T>
    BasicProjected<T> forward(Exact<T> phi, Exact<T> lambda) const;
    // E, N back to φ, λ (radians).
    template <class T>
    BasicGeographic<T> inverse(Exact<T> E, Exact<T> N) const;

    // The same for callers that come from geocentric coordinates or go on to
    // them and need no angle itself, with no arc tangent and no sine or
    // cosine of the angles: the forward from tan φ and the sine and cosine
    // of λ, the inverse to the sines and cosines of φ and λ.
    template <class T>
    BasicProjected<T> forwardTrig(Exact<T> tanPhi, Exact<T> sinLambda, Exact<T> cosLambda) const;
    template <class T>
    GeographicTrig<T> inverseTrig(Exact<T> E, Exact<T> N) const;

    const TransverseMercatorDefinition& definition() const { return d_; }

private:
    // What the formulas use, in the floating type they run in (no widening
    // or narrowing of constants on every call).
    template <class T>
    struct Constants {
        T e = 0;    // first eccentricity
        T kA = 0;   // k0 times the rectifying radius A
        T xi0 = 0;  // ξ of the latitude of origin (on the central meridian)
        T lambda0 = 0, sinLambda0 = 0, cosLambda0 = 1, falseEasting = 0, falseNorthing = 0;
        T alpha[6]{};  // forward coefficients α1..α6
        T beta[6]{};   // inverse coefficients β1..β6
        T delta[6]{};  // geodetic from conformal latitude δ1..δ6
    };
    template <class T>
    const Constants<T>& constants() const;

    // A point on the conformal sphere in the inverse's terms: sinh η', cos ξ',
    // their hypotenuse, τ' = tan χ, and δ = φ − χ.
    template <class T>
    struct Conformal {
        T sinhEta, cosXi, hyp, taup, delta;
    };
    template <class T>
    Conformal<T> toConformal(T E, T N) const;
    // The forward from τ' = tan χ and the sine and cosine of λ − λ0.
    template <class T>
    BasicProjected<T> fromConformal(T taup, T sinL, T cosL) const;

    TransverseMercatorDefinition d_;
    Constants<Extended> x_;
    Constants<double> d2_;
};

// The grids, as their authorities define them.
const TransverseMercator& TM07();  // HTRS07: GRS80, 24° E, 0.9996, 500 000 m, −2 000 000 m
// EGSA87 TM87 (GRS80, 24° E, 0.9996, 500 000 m) by this series, as the HEPOS
// model projects GGRS87. The program's own TM87 (TM87.h), whose meridian arc
// has rounded coefficients, lies 0.7 to 1.0 mm north of it over Greece.
const TransverseMercator& TM87Series();
const TransverseMercator& TM3West();  // old Greek datum: Bessel, λA − 3°, 34° N, 0.9999, 200 000 m
const TransverseMercator& TM3Central();  // the same on the Athens meridian λA
const TransverseMercator& TM3East();     // the same on λA + 3°
const TransverseMercator& UTM34ED50();   // International 1924, 21° E, 0.9996, 500 000 m
const TransverseMercator& UTM35ED50();   // International 1924, 27° E, 0.9996, 500 000 m

}  // namespace korthal
