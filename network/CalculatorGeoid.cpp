#include "network/CalculatorGeoid.h"

#include "geodesy/Geoid.h"

namespace korthal {

std::optional<std::string> fillGeoidUndulation(Calculator& calc, const DatumShiftTable& shifts,
                                               const NumberText& text, Extended phi,
                                               Extended lambda)
{
    const auto n = GeoidUndulation(shifts, static_cast<double>(phi), static_cast<double>(lambda));
    if (!n)
        return std::string("Το σημείο βρίσκεται έξω από την περιοχή του μοντέλου του γεωειδούς.");
    calc.setText(CalcEdit::EditApoxhEGSA, text.floatToShownText(*n));
    return std::nullopt;
}

}  // namespace korthal
