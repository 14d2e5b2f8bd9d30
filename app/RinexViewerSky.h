#pragma once
// What the observation viewer keeps of the sky of the table shown: the
// navigation file's ephemerides with the point's position, and the quality
// report computed from them (app/RinexViewerSky.cpp).

#include "app/RinexViewer.h"
#include "views/RinexQuality.h"
#include "views/RinexSkySource.h"

namespace korthal::app {

struct RinexViewer::Sky {
    rinex::ObservationSky source;
    rinex::QualityReport report;
};

}  // namespace korthal::app
