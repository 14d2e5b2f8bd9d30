#pragma once
// The sky plot of a point's observations: a polar plot with north up and
// east to the right, the zenith in the middle and the horizon on the rim,
// circles every 30° of elevation, the elevation mask as a red dashed circle,
// each satellite's track coloured by its signal strength and named at its
// end, and the satellites that were above the mask but never tracked as
// grey dashed tracks (a building or a slope in that part of the sky).
//
// One routine paints onto any QPainter (screen, printer page, image), so the
// viewer, printing and `korthal-cli rinex-qc --png` draw the same plot.

#include "views/RinexSky.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <optional>

class QPainter;

namespace korthal::paint {

// The colour of a signal-strength digit: red (weak) through yellow to green
// (strong); grey when unknown (0).
QColor skySnrColour(int digit);

// Where a direction of the sky falls in a plot drawn into `target`: azimuth
// and elevation in degrees. Points below the horizon fall outside the rim.
QPointF skyPlotPoint(const QRectF& target, double scale, double azimuth, double elevation);

// The point of the tracks drawn nearest `pos` in a plot drawn into
// `target`, no farther than `reach` pixels: the indexes of its track and of
// the point in it. Points below the horizon are not drawn and not found.
struct SkyHit {
    std::size_t track = 0, point = 0;
};
std::optional<SkyHit> skyPlotNearest(const QRectF& target, double scale, const rinex::SkyView& sky,
                                     const QPointF& pos, double reach);

// Paints the plot into `target`. `scale` multiplies line widths and text
// sizes (1 on the screen, more on a printer page). A sky that is not
// available draws the empty plot with its reason in the middle.
void paintSkyPlot(QPainter& painter, const QRectF& target, double scale,
                  const rinex::SkyView& sky);

// The plot as a picture of `size` pixels on white.
QImage skyPlotImage(const rinex::SkyView& sky, QSize size);

}  // namespace korthal::paint
