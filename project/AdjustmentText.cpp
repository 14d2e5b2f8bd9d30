#include "project/AdjustmentText.h"

#include "geodesy/Adjustment.h"
#include "geodesy/Angles.h"
#include "project/Document.h"

namespace korthal {

namespace {

constexpr Extended kArcSecond = kPi / 180 / 3600;

const char* axisName(int axis)
{
    return axis == 0 ? "E" : axis == 1 ? "N" : "H";
}

}  // namespace

ParameterErrorTexts parameterErrorTexts(const AdjustmentStatistics& s, const NumberText& numbers)
{
    ParameterErrorTexts t;
    if (!s.precisionKnown)
        return t;
    auto text = [&](const char* fmt, Extended v, const char* unit) {
        return "± " + numbers.FormatNumber(fmt, {v}) + unit;
    };
    t.scale = text("%.2n", s.errors.scale * 1e6L, " ppm");
    const bool threeD = s.parameters == 7;
    if (threeD) {
        t.rotX = text("%.3n", s.errors.rotX / kArcSecond, "\"");
        t.rotY = text("%.3n", s.errors.rotY / kArcSecond, "\"");
    }
    t.rotZ = text("%.3n", s.errors.rotZ / kArcSecond, "\"");
    t.shiftX = text("%.4n", s.errors.shiftX, " m");
    t.shiftY = text("%.4n", s.errors.shiftY, " m");
    if (threeD)
        t.shiftZ = text("%.4n", s.errors.shiftZ, " m");
    return t;
}

const char* const kOutsideGridConsequence = "Δεν υπολογίστηκαν E, N από το μοντέλο";

const char* methodName(EstimationMethod m)
{
    switch (m) {
    case EstimationMethod::Similarity2D:
        return "2-Δ  (τετραπαραμετρικός)";
    case EstimationMethod::Similarity3D:
        return "3-Δ  (επταπαραμετρικός)";
    case EstimationMethod::HeposModel:
        return "μοντέλο HEPOS";
    default:
        return "κανένας";
    }
}

std::string methodLine(const Document& doc)
{
    const EstimationMethod m = doc.settings().method;
    return std::string("Μετασχηματισμός: ") + methodName(m) +
           (m == EstimationMethod::Similarity3D && !doc.Use3D
                ? "  → 2-Δ (σημείο αναφοράς με H = 0 ή λίγα σημεία)"
                : "");
}

std::array<std::string, 3> residualSymbols(const Document& doc)
{
    if (doc.heposModel())
        return {"dE", "dN", "dH"};
    return {"vE", "vN", "vH"};
}

std::string discrepancyTitle(const Document& doc)
{
    return doc.heposModel()
               ? "Αποκλίσεις των σημείων αναφοράς από το μοντέλο HEPOS  (γνωστές - μοντέλου)"
               : "";
}

std::string joinedNames(const std::vector<std::string>& names)
{
    std::string out;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i)
        out += (i == 0 ? "" : ", ") + names[i];
    if (names.size() > kNamesShown)
        out += " και " + std::to_string(names.size() - kNamesShown) + " ακόμη";
    return out;
}

namespace {

// The report of the HEPOS model: what it is, the RMS values of the
// discrepancies and the points it could not carry.
AdjustmentSummary modelSummary(const Document& doc, const NumberText& numbers)
{
    AdjustmentSummary out;
    out.model = "Μοντέλο HEPOS χωρίς εκτίμηση (HTRS07 σε ΕΓΣΑ87: 7 παράμετροι και κάναβος "
                "διορθώσεων 2 km): τα σημεία αναφοράς το ελέγχουν";
    int compared = 0, withHeight = 0;
    for (const ReferenceResidual& r : doc.residuals())
        if (r.used) {
            ++compared;
            withHeight += r.withHeight ? 1 : 0;
        }
    auto m = [&](Extended v) { return numbers.FormatNumber("%.4n", {v}) + " m"; };
    if (compared == 0) {
        out.test = "Σύγκριση με το μοντέλο HEPOS: δεν έγινε, γιατί κανένα σημείο αναφοράς "
                   "δεν έχει μέτρηση WGS84 μέσα στον κάναβο";
    } else {
        out.test = "RMS των αποκλίσεων από το μοντέλο (" + std::to_string(compared) +
                   (compared == 1 ? " σημείο" : " σημεία") + "):   E " + m(doc.RmsE) + "   N " +
                   m(doc.RmsN);
        if (withHeight > 0)
            out.test += "   H " + m(doc.RmsH) +
                        (withHeight < compared
                             ? "  (" + std::to_string(withHeight) + " με γνωστό H)"
                             : std::string());
    }
    // As many names as a line of the listing holds, then how many more.
    const std::vector<std::string> outside = doc.outsideGrid();
    if (!outside.empty()) {
        constexpr std::size_t kLine = 120;
        auto chars = [](const std::string& t) {
            std::size_t n = 0;
            for (unsigned char c : t)
                n += (c & 0xC0) != 0x80 ? 1 : 0;
            return n;
        };
        out.outsideGrid = "Έξω από τον κάναβο του μοντέλου HEPOS (χωρίς E, N από το μοντέλο): ";
        for (std::size_t i = 0; i < outside.size(); ++i) {
            const std::string more = " και " + std::to_string(outside.size() - i) + " ακόμη";
            const std::string name = (i == 0 ? "" : ", ") + outside[i];
            const bool last = i + 1 == outside.size();
            if (chars(out.outsideGrid) + chars(name) + (last ? 0 : chars(more) + 1) > kLine) {
                out.outsideGrid += more;
                break;
            }
            out.outsideGrid += name;
        }
    }
    return out;
}

}  // namespace

AdjustmentSummary adjustmentSummary(const Document& doc, const NumberText& numbers)
{
    if (doc.heposModel())
        return modelSummary(doc, numbers);
    AdjustmentSummary out;
    const AdjustmentStatistics& s = doc.statistics();
    const bool estimated = s.parameters > 0;
    const bool threeD = s.parameters == 7;
    // Numbers are formatted alone: names and words never pass through the
    // separator substitution.
    auto num = [&](const char* fmt, Extended v) { return numbers.FormatNumber(fmt, {v}); };

    if (s.precisionKnown)
        out.precision = "σ0 = ± " + num("%.4n", s.sigma0) +
                        " m   (πλεονάζουσες παρατηρήσεις: " + std::to_string(s.redundancy) + ")";
    else if (estimated)
        out.precision = "σ0: χωρίς πλεονάζουσες παρατηρήσεις (τα σημεία ορίζουν ακριβώς τις παραμέτρους)";

    if (!estimated) {
        out.test = "Έλεγχος των σημείων αναφοράς: δεν έγινε, γιατί δεν εκτιμήθηκε μετασχηματισμός";
    } else if (!s.tested) {
        const int need = threeD ? kMinTestPoints3D : kMinTestPoints2D;
        out.test = "Έλεγχος των σημείων αναφοράς: δεν είναι δυνατός με " +
                   std::to_string(doc.RefPointCount) + " σημεία (ο " + (threeD ? "3-Δ" : "2-Δ") +
                   " μετασχηματισμός χρειάζεται τουλάχιστον " + std::to_string(need) + ")";
    } else {
        out.test = "Έλεγχος τ (Pope) των σημείων αναφοράς, α = " + num("%.2n", s.familyAlpha) +
                   " για όλο το δίκτυο (" + num("%.5n", s.alpha) +
                   " ανά τιμή): κρίσιμη τιμή τ = " + num("%.2n", s.critical);
        if (s.pointsTested)
            out.pointTest = "Έλεγχος F κάθε σημείου (συντεταγμένες μαζί), α = " +
                            num("%.3n", s.pointFamilyAlpha) + " για όλο το δίκτυο (" +
                            num("%.5n", s.pointAlpha) + " ανά σημείο): κρίσιμη τιμή F = " +
                            num("%.2n", s.pointCritical);
        out.verdict = "Κανένα ύποπτο σημείο";
        const int named = s.named();
        for (const ReferenceResidual& r : doc.residuals())
            if (r.suspect && named >= 0 && named < static_cast<int>(s.points.size()))
                out.verdict = "Ύποπτο σημείο: " + r.name +
                              (s.pointsTested
                                   ? "  (F = " + num("%.2n", s.points[named].F) + ")"
                                   : "  (τ = " + num("%.2n", r.tau) + " στο " +
                                         axisName(r.tauAxis) + ")");
    }
    if (estimated && s.globalTested) {
        out.agreement = "Έλεγχος χ² της συμφωνίας με ακρίβεια ± " +
                        num("%.3n", s.apriori.horizontal) + " m (E, N)" +
                        (threeD ? ", ± " + num("%.3n", s.apriori.vertical) + " m (H)" : "") +
                        ": λόγος διασπορών " + num("%.2n", s.varianceFactor) +
                        ", κρίσιμη τιμή " + num("%.2n", s.globalCritical) + " (α = " +
                        num("%.2n", s.globalAlpha) + ")";
        out.disagreement = s.disagreement;
        out.agreementVerdict =
            s.disagreement ? std::string("Τα σημεία αναφοράς δεν συμφωνούν μεταξύ τους") +
                                 (s.named() < 0 ? ", χωρίς να ξεχωρίζει κάποιο σημείο" : "")
                           : "Τα σημεία αναφοράς συμφωνούν μεταξύ τους";
    }

    for (const ReferenceResidual& r : doc.residuals())
        if (r.excluded)
            out.checkPoints += (out.checkPoints.empty() ? "" : ", ") + r.name;
    if (!out.checkPoints.empty())
        out.checkPoints = "Σημεία ελέγχου (εκτός εκτίμησης): " + out.checkPoints;
    return out;
}

std::string tauText(const Document& doc, const ReferenceResidual& r, const NumberText& numbers)
{
    if (!r.used || r.excluded || doc.heposModel())
        return {};
    if (!doc.statistics().tested)
        return "χωρίς έλεγχο";
    return numbers.FormatNumber("%.2n", {Extended(r.tau)});
}

std::string residualRemark(const ReferenceResidual& r)
{
    if (r.outsideGrid)
        return "έξω από τον κάναβο HEPOS";
    if (!r.used)
        return "χωρίς μέτρηση WGS84";
    if (r.excluded)
        return "σημείο ελέγχου";
    if (r.suspect)
        return "ΥΠΟΠΤΟ";
    return {};
}

}  // namespace korthal
