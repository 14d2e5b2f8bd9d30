#pragma once
// The geoid map picture and its marker. The picture is drawn from the
// program's own geoid model (views/GeoidMap.h): coloured bands of one metre
// of undulation, contour lines of whole metres with their values, a
// graticule of whole degrees with labels, and the coastline of Greece, all
// placed by the same formula as the marker, so that a point's marker and its
// place on the coast agree. The window and `korthal-cli geoid-map` show the
// same picture.

#include "views/GeoidMap.h"

#include <QImage>

namespace korthal::paint {

// Draws the picture (kGeoidMapWidth × kGeoidMapHeight, 24-bit colour).
QImage renderGeoidMap();

// The picture, drawn at the first call and kept for the rest of the run.
// Call from the thread of the QGuiApplication.
const QImage& geoidMapImage();

// Marks a point at `p`: a blue disc 80 pixels wide and two green diagonals
// through it, each combined with the picture by exclusive or, so that
// drawing the same marker again gives the picture back.
void drawGeoidMarker(QImage& map, MarkerPixel p);

// A copy of the picture with the marker of the point at φ, λ (degrees).
QImage markedGeoidMap(double phi, double lambda);

}  // namespace korthal::paint
