#include "network/CalculatorGeoid.h"

#include "geodesy/Dialogs.h"
#include "geodesy/Geoid.h"

namespace korthal {

bool fillGeoidUndulation(Calculator& calc, const DatumShiftTable& shifts, const NumberText& text)
{
    Extended phi = 0, lambda = 0;
    if (!calc.geoidMarker(phi, lambda))
        return false;
    const auto n = GeoidUndulation(shifts, static_cast<double>(phi), static_cast<double>(lambda));
    if (!n) {
        showMessage("Το σημείο βρίσκεται έξω από την περιοχή του μοντέλου του γεωειδούς.",
                    MsgIcon::Exclamation);
        return false;
    }
    calc.setText(CalcEdit::EditApoxhEGSA, text.floatToShownText(*n));
    return true;
}

}  // namespace korthal
