#pragma once
// The texts that report the statistics of the last estimation (σ0, the
// parameters' standard errors, the test of the reference points, the suspect
// and the check points) for the window, the command line and the listing.
// Numbers use the separators of the NumberText given, so each destination
// passes its own. Only characters of code page 1253 are used, so that the
// texts survive in a listing file.

#include "network/NumberText.h"
#include "project/Settings.h"

#include <array>
#include <string>
#include <vector>

namespace korthal {

class Document;
struct AdjustmentStatistics;
struct ReferenceResidual;

// Standard errors of the parameters, "± 0,85 ppm", "± 0,120\"" (arc
// seconds), "± 0,0123 m"; all empty when the adjustment has no redundancy.
struct ParameterErrorTexts {
    std::string scale, rotX, rotY, rotZ, shiftX, shiftY, shiftZ;
};
ParameterErrorTexts parameterErrorTexts(const AdjustmentStatistics& s, const NumberText& numbers);

struct AdjustmentSummary {
    // "σ0 = ± 0,0150 m   (πλεονάζουσες παρατηρήσεις: 8)", or why there is none.
    std::string precision;
    // The test and its critical value, or plainly why no test was made.
    std::string test;
    // "Ύποπτο σημείο: Σ103  (F = 24,10)" (by τ, "(τ = 5,23 στο E)", where
    // the points' coordinates could not be tested together), "Κανένα ύποπτο
    // σημείο", or empty when no test was made.
    std::string verdict;
    // The test of each point's coordinates together and its critical F, or
    // empty when it was not made (the verdict then rests on τ).
    std::string pointTest;
    // The test of the variance factor against the a-priori precision, and
    // its outcome ("Τα σημεία αναφοράς (δεν) συμφωνούν μεταξύ τους"), or
    // empty when it was not made.
    std::string agreement;
    std::string agreementVerdict;
    bool disagreement = false;
    // "Σημεία ελέγχου (εκτός εκτίμησης): Σ104, Σ105", or empty.
    std::string checkPoints;
    // With the HEPOS model: what the model is, in place of the estimation's
    // lines (precision, pointTest, verdict and agreement stay empty; test
    // gives the RMS values of the discrepancies).
    std::string model;
    // "Έξω από τον κάναβο του μοντέλου HEPOS (...): Κ12, Σ7", or empty.
    std::string outsideGrid;
};
AdjustmentSummary adjustmentSummary(const Document& doc, const NumberText& numbers);

// The name of a method as the settings page and the reports write it.
const char* methodName(EstimationMethod m);

// "Μετασχηματισμός: 3-Δ  (επταπαραμετρικός)" for the method in force, with
// the note "  → 2-Δ (...)" when the 3-D method fell back to 2-D. The arrow
// lies outside code page 1253: the line is for the screen and the command
// line; the listing writes it only for the HEPOS model, which has no note.
std::string methodLine(const Document& doc);

// The values of the reference points: residuals ("vE", "vN", "vH") after an
// estimation, discrepancies from the model ("dE", "dN", "dH") with the HEPOS
// model.
std::array<std::string, 3> residualSymbols(const Document& doc);

// With the HEPOS model, the title of the table of discrepancies:
// "Αποκλίσεις των σημείων αναφοράς από το μοντέλο HEPOS  (γνωστές - μοντέλου)";
// empty for the other methods, whose destinations keep titles of their own.
std::string discrepancyTitle(const Document& doc);

// What a point outside the HEPOS model's grid does not get, the line after
// its message.
extern const char* const kOutsideGridConsequence;

// Names joined by ", ": the first kNamesShown, then "και N ακόμη".
inline constexpr std::size_t kNamesShown = 20;
std::string joinedNames(const std::vector<std::string>& names);

// A point's entry in the test value column: its τ with two decimals, "χωρίς
// έλεγχο" when the points were not tested, empty for a check point or a
// point without a measurement, and with the HEPOS model.
std::string tauText(const Document& doc, const ReferenceResidual& r, const NumberText& numbers);

// A point's remark: "ΥΠΟΠΤΟ", "σημείο ελέγχου", "χωρίς μέτρηση WGS84",
// "έξω από τον κάναβο HEPOS" or empty.
std::string residualRemark(const ReferenceResidual& r);

}  // namespace korthal
