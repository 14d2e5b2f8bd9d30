// The HEPOS model and the HATT sheets made from the data built into the
// program.

#include "geodesy/GreekSystemsData.h"
#include "geodesy/HattSheets.h"
#include "geodesy/HeposModel.h"

#include <vector>

namespace korthal {

namespace {

CorrectionGrid builtInGrid(const std::int16_t* values)
{
    const embedded::GridLayout& g = embedded::kHeposGridLayout;
    const std::size_t n = static_cast<std::size_t>(g.rows) * static_cast<std::size_t>(g.columns);
    std::vector<double> metres(n);
    for (std::size_t k = 0; k < n; ++k)
        metres[k] = values[k] / 10000.0;  // hundredths of a centimetre
    return CorrectionGrid(g.rows, g.columns, g.spacing, g.north0, g.east0, std::move(metres));
}

}  // namespace

const HeposModel& HeposModel::builtIn()
{
    static const HeposModel model(kHeposSimilarity, builtInGrid(embedded::kHeposEast),
                                  builtInGrid(embedded::kHeposNorth));
    return model;
}

const HattSheets& HattSheets::builtIn()
{
    static const HattSheets sheets(embedded::kHattSheetRecords,
                                   static_cast<std::size_t>(embedded::kHattSheetCount),
                                   embedded::kHattOutlineVertices);
    return sheets;
}

}  // namespace korthal
