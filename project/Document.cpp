// The network computation and the state of the document. The entry rules
// are in DocumentEntry.cpp, the files in DocumentFiles.cpp.

#include "project/Document.h"

#include "geodesy/Angles.h"
#include "geodesy/EMatrix.h"
#include "geodesy/Geoid.h"
#include "geodesy/TM87.h"
#include "network/ConvertChain.h"
#include "network/PointTables.h"
#include "project/AdjustmentText.h"
#include "project/Dialogs.h"
#include "project/Settings.h"

#include <algorithm>
#include <cmath>

namespace korthal {

void Extent::widen(double E, double N)
{
    if (E > MaxE)
        MaxE = E;
    if (N > MaxN)
        MaxN = N;
    if (E < MinE)
        MinE = E;
    if (N < MinN)
        MinN = N;
}

std::string ParamRow::text() const
{
    std::string s;
    for (const auto& l : labels)
        if (l.visible)
            s += l.text;
    return s;
}

const ParamLabel& ParamRow::label(int column, TermPart part) const
{
    for (const auto& l : labels)
        if (l.column == column && l.part == part)
            return l;
    return labels.front();
}

Document::Document(Separators system)
    : settings_(std::make_unique<NetworkSettings>(system)),
      gps_(std::make_unique<MemTable>("GPS")),
      gys_(std::make_unique<MemTable>("GYS")),
      numbers_(system)
{
    defineGPS(*gps_, shifts_);
    defineGYS(*gys_);
    // The question before a record is deleted through the navigator: No
    // cancels silently.
    const auto askToDelete = [](MemTable&) {
        return dialogs().ask(kDeleteQuestion, kDeleteCaption, MsgIcon::Exclamation,
                             MsgButtons::YesNo) == Answer::Yes;
    };
    gps_->beforeDelete = askToDelete;
    gys_->beforeDelete = askToDelete;
    // The modified marks: every post, insert and delete.
    gps_->afterPost = [this](MemTable&) { NetworkModified = true; };
    gps_->afterInsert = gps_->afterPost;
    gps_->afterDelete = gps_->afterPost;
    gys_->afterPost = [this](MemTable&) { ReferenceModified = true; };
    gys_->afterInsert = gys_->afterPost;
    gys_->afterDelete = gys_->afterPost;

    // The entry rules, whatever control sets the text.
    for (int f : {gps::X, gps::Y, gps::Z, gps::E, gps::N, gps::H, gps::apoxh})
        gps_->setSetTextHandler(f, [this](MemTable&, int field, const std::string& text) {
            enterNetworkCoordinate(field, text);
        });
    gps_->setSetTextHandler(gps::Name, [this](MemTable&, int, const std::string& text) {
        enterNetworkPointName(text);
    });
    for (auto [table, field] : {std::pair{gps_.get(), int{gps::Perigrafh}},
                                std::pair{gys_.get(), int{gys::Name}},
                                std::pair{gys_.get(), int{gys::Perigrafh}}})
        table->setSetTextHandler(field, [this](MemTable& t, int f, const std::string& text) {
            enterPointText(t, f, text);
        });
    for (int f : {gys::E, gys::N, gys::H, gys::apoxh})
        gys_->setSetTextHandler(f, [this](MemTable&, int field, const std::string& text) {
            enterReferenceCoordinate(field, text);
        });
    for (int f : {gys::f, gys::l, gys::ortho})
        gys_->setSetTextHandler(f, [this](MemTable&, int field, const std::string& text) {
            enterReferenceGeographic(field, text);
        });

    // The reference table shows its radians of f and l as DD.MMSSsss, and
    // both tables' plain texts use the document's system separators.
    installGYSfGetText(*gys_, settings_->numbers, system);
    gps_->setDecimalSeparator(system.decimal);
    gys_->setDecimalSeparator(system.decimal);

    applySettings();
    ShowTransformationParameters();
}

Document::~Document() = default;

InputForm Document::inputForm() const
{
    return settings_->inputForm;
}

NumberSettings& Document::numberSettings() { return settings_->numbers; }
const NumberSettings& Document::numberSettings() const { return settings_->numbers; }
bool Document::settingsModified() const { return settings_->SettingsModified; }
void Document::setSettingsModified(bool modified) { settings_->SettingsModified = modified; }

EstimationMethod Document::method() const
{
    return settings_->method;
}

int Document::kind() const
{
    return settings_->kind;
}

AprioriPrecision Document::aprioriPrecision() const
{
    return {settings_->aprioriH / 1000.0L, settings_->aprioriV / 1000.0L};
}

ConvergenceCriteria Document::criteria() const
{
    return ConvergenceCriteria{settings_->maxDm, settings_->maxDe, settings_->maxDt};
}


const ReferenceResidual* Document::residualOf(long long id) const
{
    for (const auto& r : residuals_)
        if (r.id == id)
            return &r;
    return nullptr;
}

std::vector<std::string> Document::ReferenceNames() const
{
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(gys_->recordCount()));
    for (int row = 0; row < gys_->recordCount(); ++row)
        names.push_back(gys_->getString(gys_->recAt(row), gys::Name));
    return names;
}

bool Document::measured(Rec r) const
{
    return measurementOf(*gps_, r).has_value();
}

bool Document::heposModel() const
{
    return method() == EstimationMethod::HeposModel;
}

TM87 Document::projectMeasurement(Rec r, bool* outside) const
{
    bool out = false;
    const TM87 t = projectWGS84(gps_->getFloat(r, gps::X), gps_->getFloat(r, gps::Y),
                                gps_->getFloat(r, gps::Z), gps_->getFloat(r, gps::apoxh), out);
    if (outside)
        *outside = out;
    return t;
}

TM87 Document::projectWGS84(double A, double B, double C, double undulation, bool& outside) const
{
    outside = false;
    if (!heposModel())
        return WGS84ToTM87(shifts_, inputForm(), A, B, C, undulation);
    // The measurement as HTRS07 (geocentric, or packed φ, λ and h on GRS80),
    // through the conversion chain of the calculator: TM07, the model, TM87.
    // The height is taken down by the record's undulation, as with the datum
    // relation. The double run decides unless it finds the point where it
    // could differ from Extended (near the grid's edge); then Extended does.
    chain::ConvertOptions o;
    o.undulation = Extended(undulation);
    chain::Form from = chain::HTRS07Xyz;
    Extended a = A, b = B;
    if (inputForm() == InputForm::Ellipsoidal) {
        from = chain::HTRS07Geo;
        a = DMSToRad(A), b = DMSToRad(B);
    }
    chain::ChainPoint<double> pd;
    pd.a = static_cast<double>(a), pd.b = static_cast<double>(b), pd.c = C;
    chain::ChainWatch watch;
    const chain::ChainPoint<double> td = chain::convertPoint(from, chain::TM87Proj, pd, o, &watch);
    chain::PointNote note = td.note;
    TM87 t{td.a, td.b, td.c};
    if (watch.needsExtended || watch.noConvergence) {
        chain::ChainPoint<Extended> px;
        px.a = a, px.b = b, px.c = C;
        const chain::ChainPoint<Extended> tx = chain::convertPoint(from, chain::TM87Proj, px, o);
        note = tx.note;
        t = TM87{tx.a, tx.b, tx.c};
    }
    if (note == chain::PointNote::OutsideHeposGrid) {
        outside = true;
        return TM87{};
    }
    return t;
}

std::vector<std::string> Document::outsideGrid() const
{
    std::vector<std::string> names = outsideReference_;
    names.insert(names.end(), outsideDetail_.begin(), outsideDetail_.end());
    return names;
}

void Document::reportOutsideGrid() const
{
    const std::vector<std::string> names = outsideGrid();
    if (names.empty())
        return;
    const std::string msg =
        names.size() == 1
            ? outsideGridMessage(names.front())
            : "Τα σημεία " + joinedNames(names) +
                  " βρίσκονται έξω από τον κάναβο διορθώσεων του μοντέλου HEPOS";
    showMessage(msg + "\r" + kOutsideGridConsequence, MsgIcon::Exclamation);
}

void Document::applyTransformation(TM87 t, double& E, double& N, double& H) const
{
    tr_.ApplyTransformation(t.E, t.N, t.H);
    E = static_cast<double>(t.E);
    N = static_cast<double>(t.N);
    H = static_cast<double>(t.H);
}

// E, N, H of a detail point from its WGS84 coordinates and undulation, with
// the transformation in force. False when X, Y or Z is missing (0).
bool Document::computeDetail(Rec r, double& E, double& N, double& H, bool* outside) const
{
    E = N = H = 0;
    if (!measured(r))
        return false;
    bool out = false;
    const TM87 t = projectMeasurement(r, &out);
    if (outside)
        *outside = out;
    if (out)
        return false;
    applyTransformation(t, E, N, H);
    return true;
}

// The reference points of the network as the estimation takes them: known
// and computed (projected, not yet transformed) E, N, H of the points in the
// estimation, the residuals_ entry of each, and the points left out.
struct Document::ReferenceSet {
    TVector knownE, knownN, knownH, compE, compN, compH;
    std::vector<std::size_t> usedIndex;  // residuals_ entry of each used point
    struct Check {
        std::size_t index;  // residuals_ entry
        double E, N, H;     // known
        TM87 c;             // computed
    };
    std::vector<Check> checks;
};

void Document::RecomputeNetwork()
{
    const bool wasLoading = LoadingData;
    LoadingData = true;
    MemTable& g = *gps_;
    // A pending edit is posted first, as moving through the table does:
    // the estimation reads the stored values, and a later post of the
    // edit would put back E, N, H from before the run.
    if (g.state() != MemTable::State::Browse)
        g.post();
    ReferenceSet set = gatherReferencePoints();
    estimateFrom(set);
    computeResiduals(set);
    ShowTransformationParameters();
    TransformNetworkPoints(true);
    reportOutsideGrid();
    LoadingData = wasLoading;
    if (onParametersChanged)
        onParametersChanged();
}

Document::ReferenceSet Document::gatherReferencePoints()
{
    const MemTable& g = *gps_;
    const auto count = static_cast<std::size_t>(g.recordCount());
    ReferenceSet set;
    set.knownE.reserve(count), set.knownN.reserve(count), set.knownH.reserve(count);
    set.compE.reserve(count), set.compN.reserve(count), set.compH.reserve(count);
    Use3D = true;
    residuals_.clear();
    pointNames_.clear();
    pointNames_.reserve(count);
    outsideReference_.clear();
    const bool hepos = heposModel();

    for (int row = 0; row < g.recordCount(); ++row) {
        const Rec r = g.recAt(row);
        pointNames_.push_back(g.getString(r, gps::Name));
        if (g.getBoolean(r, gps::detailPoint))
            continue;
        ReferenceResidual res;
        res.id = g.getInteger(r, gps::ID);
        res.name = pointNames_.back();
        // A reference point without its measurement, or without its known
        // position, has nothing to offer the estimation: computed from zeros
        // it would spoil every parameter.
        if (!measured(r) || !enteredValue(g, r, gps::E) || !enteredValue(g, r, gps::N)) {
            res.used = false;
            residuals_.push_back(res);
            continue;
        }
        // Without a known height the point cannot take part in heights.
        const std::optional<double> knownH = enteredValue(g, r, gps::H);
        const double H = knownH.value_or(0.0);
        if (hepos) {
            // Every reference point checks the model: there is nothing to
            // leave out of, and no estimation.
            bool outside = false;
            const TM87 c = projectMeasurement(r, &outside);
            if (outside) {
                res.used = false;
                res.outsideGrid = true;
                outsideReference_.push_back(res.name);
                residuals_.push_back(res);
                continue;
            }
            res.withHeight = knownH.has_value();
            set.knownE.push_back(g.getFloat(r, gps::E));
            set.knownN.push_back(g.getFloat(r, gps::N));
            set.knownH.push_back(H);
            set.compE.push_back(c.E);
            set.compN.push_back(c.N);
            set.compH.push_back(c.H);
            set.usedIndex.push_back(residuals_.size());
            residuals_.push_back(res);
            continue;
        }
        if (isExcluded(res.id)) {
            res.excluded = true;
            set.checks.push_back({residuals_.size(), g.getFloat(r, gps::E), g.getFloat(r, gps::N), H,
                                  projectMeasurement(r)});
            residuals_.push_back(res);
            continue;
        }
        set.knownE.push_back(g.getFloat(r, gps::E));
        set.knownN.push_back(g.getFloat(r, gps::N));
        set.knownH.push_back(H);
        if (!knownH)
            Use3D = false;
        const TM87 c = projectMeasurement(r);
        set.compE.push_back(c.E);
        set.compN.push_back(c.N);
        set.compH.push_back(c.H);
        set.usedIndex.push_back(residuals_.size());
        residuals_.push_back(res);
    }
    RefPointCount = static_cast<int>(set.knownE.size());
    CheckPointCount = static_cast<int>(set.checks.size());
    return set;
}

void Document::estimateFrom(const ReferenceSet& set)
{
    // A failed estimation leaves the identity in force rather than the
    // transformation of earlier, different data.
    tr_ = Transformation{};
    stats_ = AdjustmentStatistics{};
    const EstimationMethod m = method();
    if (m == EstimationMethod::Similarity2D)
        Use3D = false;  // the 2-D kind never uses the heights
    if (RefPointCount < 2 || m == EstimationMethod::None || m == EstimationMethod::HeposModel)
        return;
    if (m == EstimationMethod::Similarity3D && Use3D) {
        const Estimate e = EstimateTransformation(set.knownE, set.knownN, set.knownH, set.compE,
                                                  set.compN, set.compH, criteria());
        reportEstimation(e.status);
        if (e.made()) {
            tr_ = e.transformation;
            stats_ = Statistics3D(tr_, set.knownE, set.knownN, set.knownH, set.compE, set.compN,
                                  set.compH, aprioriPrecision());
        }
    } else {
        const Estimate e = Estimate2DSimilarity(set.knownE, set.knownN, set.compE, set.compN);
        reportEstimation(e.status);
        if (e.made())
            tr_ = e.transformation;
        stats_ = Statistics2D(tr_, set.knownE, set.knownN, set.compE, set.compN,
                              aprioriPrecision());
    }
}

void Document::computeResiduals(ReferenceSet& set)
{
    if (heposModel()) {
        compareWithModel(set);
        return;
    }
    Extended SE = 0, SN = 0, SH = 0;
    for (std::size_t i = 0; i < set.knownE.size(); ++i) {
        tr_.ApplyTransformation(set.compE[i], set.compN[i], set.compH[i]);
        SE += (set.compE[i] - set.knownE[i]) * (set.compE[i] - set.knownE[i]);
        SN += (set.compN[i] - set.knownN[i]) * (set.compN[i] - set.knownN[i]);
        SH += (set.compH[i] - set.knownH[i]) * (set.compH[i] - set.knownH[i]);
        ReferenceResidual& res = residuals_[set.usedIndex[i]];
        res.vE = static_cast<double>(set.knownE[i] - set.compE[i]);
        res.vN = static_cast<double>(set.knownN[i] - set.compN[i]);
        res.vH = Use3D ? static_cast<double>(set.knownH[i] - set.compH[i]) : 0.0;
        if (stats_.tested && i < stats_.points.size()) {
            res.tau = static_cast<double>(stats_.points[i].tau);
            res.tauAxis = stats_.points[i].axis;
            res.suspect = stats_.named() == static_cast<int>(i);
        }
    }
    for (ReferenceSet::Check& c : set.checks) {
        tr_.ApplyTransformation(c.c.E, c.c.N, c.c.H);
        ReferenceResidual& res = residuals_[c.index];
        res.vE = static_cast<double>(c.E - c.c.E);
        res.vN = static_cast<double>(c.N - c.c.N);
        // A check point without a known height has no height discrepancy.
        res.vH = Use3D && c.H != 0 ? static_cast<double>(c.H - c.c.H) : 0.0;
    }
    if (RefPointCount > 0) {
        const Extended n = RefPointCount;
        const Extended u = Use3D ? 1 : 0;
        RmsTotal = std::sqrt((u * SH + SE + SN) / ((u + 2) * n));
        RmsE = std::sqrt(SE / n);
        RmsN = std::sqrt(SN / n);
        RmsH = Use3D ? std::sqrt(SH / n) : 0;
    } else {
        RmsE = RmsN = RmsH = RmsTotal = 0;
    }
}

// The discrepancies of the reference points from the HEPOS model (known
// minus model) and their RMS values; heights only where a point has a known
// height, each axis over its own points.
void Document::compareWithModel(const ReferenceSet& set)
{
    Extended SE = 0, SN = 0, SH = 0;
    std::size_t withHeight = 0;
    for (std::size_t i = 0; i < set.knownE.size(); ++i) {
        ReferenceResidual& res = residuals_[set.usedIndex[i]];
        const Extended dE = set.knownE[i] - set.compE[i], dN = set.knownN[i] - set.compN[i];
        SE += dE * dE;
        SN += dN * dN;
        res.vE = static_cast<double>(dE);
        res.vN = static_cast<double>(dN);
        if (res.withHeight) {
            const Extended dH = set.knownH[i] - set.compH[i];
            SH += dH * dH;
            res.vH = static_cast<double>(dH);
            ++withHeight;
        }
    }
    const std::size_t n = set.knownE.size();
    Use3D = withHeight > 0;
    RmsE = RmsN = RmsH = RmsTotal = 0;
    if (n > 0) {
        RmsE = std::sqrt(SE / Extended(n));
        RmsN = std::sqrt(SN / Extended(n));
        if (withHeight > 0)
            RmsH = std::sqrt(SH / Extended(withHeight));
        RmsTotal = std::sqrt((SE + SN + SH) / Extended(2 * n + withHeight));
    }
}

void Document::reportEstimation(EstimationStatus status)
{
    if (status == EstimationStatus::Estimated)
        return;
    // Refusals of the data are input problems; the solver's and the
    // iteration's messages are plain.
    const bool input = status == EstimationStatus::CountsDiffer ||
                       status == EstimationStatus::TooFewPoints2D;
    showMessage(messageText(status), input ? MsgIcon::Exclamation : MsgIcon::None);
}

bool Document::isExcluded(long long id) const
{
    return settings_->excludedPoints.count(id) != 0;
}

void Document::setExcluded(long long id, bool excluded)
{
    if (excluded == isExcluded(id))
        return;
    const Rec r = gps_->findID(id);
    settings_->setExcluded(id, r == NoRec ? std::string() : gps_->getString(r, gps::Name), excluded);
    RecomputeNetwork();
}

std::vector<std::string> Document::excludeByName(const std::vector<std::string>& names)
{
    std::vector<std::string> unknown;
    bool changed = false;
    for (const std::string& name : names) {
        bool found = false;
        for (Rec r = gps_->firstStored(); r != NoRec; r = gps_->nextStored(r)) {
            if (gps_->getBoolean(r, gps::detailPoint) || gps_->getString(r, gps::Name) != name)
                continue;
            found = true;
            const long long id = gps_->getInteger(r, gps::ID);
            changed = changed || !isExcluded(id);
            settings_->setExcluded(id, name, true);
        }
        if (!found)
            unknown.push_back(name);
    }
    if (changed)
        RecomputeNetwork();
    return unknown;
}

void Document::TransformNetworkPoints(bool AllRecords)
{
    MemTable& g = *gps_;
    constexpr double kRewrite = 0.00001;  // m: smaller changes leave the record alone
    auto differs = [](double a, double b) { return std::fabs(a - b) > kRewrite; };
    auto widen = [this](bool detail, double E, double N) {
        // A point without a position (detail point not measured yet) would
        // pull every box to the origin.
        if (E == 0 && N == 0)
            return;
        ExtentAll.widen(E, N);
        (detail ? ExtentDetail : ExtentReference).widen(E, N);
    };

    if (!AllRecords) {
        const Rec r = g.current();
        if (r == NoRec)
            return;
        const bool detail = g.asBoolean(gps::detailPoint);
        double E = g.asFloat(gps::E), N = g.asFloat(gps::N), H = g.asFloat(gps::H);
        if (detail) {
            if (g.state() != MemTable::State::Browse)
                g.post();
            double cE = 0, cN = 0, cH = 0;
            bool outside = false;
            computeDetail(r, cE, cN, cH, &outside);
            const std::string name = g.getString(r, gps::Name);
            const auto listed = std::find(outsideDetail_.begin(), outsideDetail_.end(), name);
            if (outside) {
                showMessage(outsideGridMessage(name) + "\r" + kOutsideGridConsequence,
                            MsgIcon::Exclamation);
                if (listed == outsideDetail_.end())
                    outsideDetail_.push_back(name);
            } else if (listed != outsideDetail_.end()) {
                outsideDetail_.erase(listed);
            }
            if (differs(cE, E) || differs(cN, N) || differs(cH, H)) {
                g.edit();
                g.set(gps::E, cE);
                g.set(gps::N, cN);
                g.set(gps::H, cH);
                g.post();
                E = cE, N = cN;
            }
        }
        widen(detail, E, N);
        return;
    }

    if (g.state() != MemTable::State::Browse)
        g.post();  // see RecomputeNetwork
    ExtentAll = ExtentDetail = ExtentReference = Extent{};
    // The detail points are projected first, all together; what follows
    // applies the transformation to each as computeDetail does.
    std::vector<Rec> details;
    details.reserve(static_cast<std::size_t>(g.recordCount()));
    for (Rec r = g.firstStored(); r != NoRec; r = g.nextStored(r))
        if (g.getBoolean(r, gps::detailPoint))
            details.push_back(r);
    std::vector<TM87> projected;
    std::vector<char> outside;
    projectDetails(details, projected, outside);
    outsideDetail_.clear();
    g.disableControls();
    bool changed = false;
    std::size_t next = 0;
    for (Rec r = g.firstStored(); r != NoRec; r = g.nextStored(r)) {
        const bool detail = next < details.size() && details[next] == r;
        double E = g.getFloat(r, gps::E), N = g.getFloat(r, gps::N), H = g.getFloat(r, gps::H);
        if (detail) {
            double cE = 0, cN = 0, cH = 0;
            const TM87& t = projected[next];
            if (outside[next])
                outsideDetail_.push_back(g.getString(r, gps::Name));
            else if (measured(r))
                applyTransformation(t, cE, cN, cH);
            ++next;
            if (differs(cE, E) || differs(cN, N) || differs(cH, H)) {
                g.setFloat(r, gps::E, cE);
                g.setFloat(r, gps::N, cN);
                g.setFloat(r, gps::H, cH);
                changed = true;
                E = cE, N = cN;
            }
        }
        widen(detail, E, N);
    }
    g.invalidateCalc();
    g.enableControls();
    if (changed)
        NetworkModified = true;  // as the posts of the rewritten records would
}

void Document::ShowTransformationParameters()
{
    const NumberSettings& ns = settings_->numbers;
    TransformationDisplay& d = display_;
    auto fmt = [this](const std::string& f, Extended v) { return numbers_.FormatNumber(f, {v}); };
    const std::string gpsFmt = "%." + std::to_string(ns.GPSDecimals[NumberDestination::Screen]) + "n";
    d.Lmx = fmt(gpsFmt, RmsE);
    d.Lmy = fmt(gpsFmt, RmsN);
    d.Lmz = fmt(gpsFmt, RmsH);
    d.Lmxyz = fmt(gpsFmt, RmsTotal);

    const std::string parFmt = "%." + std::to_string(ns.ParamDecimals[NumberDestination::Screen]) + "n";
    static const char* const kSymbols[3] = {"E", "N", "H"};
    const TransformationMatrix& M = tr_.matrix();
    for (std::size_t i = 0; i < 3; ++i) {
        ParamRow& row = d.rows[i];
        row.labels.clear();
        for (std::size_t j = 0; j < 4; ++j) {
            const Extended a = M[i][j];
            const int col = static_cast<int>(j) + 1;
            bool shown;
            bool valueShown;
            if (j < 3) {
                shown = a != 0;
                valueShown = shown;
                if (i == j)  // the diagonal: a factor of 1 is not written
                    valueShown = std::fabs(a - 1) > 1e-12L;
            } else {
                shown = i < 2 ? a != 0 : std::fabs(a) > 1e-12L;
                valueShown = shown;
            }
            row.labels.push_back({col, TermPart::Sign, std::string(1, SignChar(a)), valueShown});
            row.labels.push_back({col, TermPart::Coefficient, fmt(parFmt, std::fabs(a)), valueShown});
            if (j < 3) {
                row.labels.push_back({col, TermPart::Symbol, kSymbols[j], shown});
                row.labels.push_back({col, TermPart::Subscript, "b", shown});
            }
        }
    }

    // Captions and the summary of the seven parameters.
    const bool similarity = kind() == 0;
    d.scaleCaption = similarity ? "μ  =" : "μx =";
    d.miyVisible = !similarity;
    d.mizVisible = !similarity && method() != EstimationMethod::None;
    d.LexVisible = d.LeyVisible = d.LtzVisible = Use3D;
    const SimilarityParameters& p = tr_.parameters();
    d.Lmix = fmt("%.11n", std::fabs(p.scale));
    d.Lex = fmt("%.10n°", p.rotX * 180 / kPi);
    d.Ley = fmt("%.10n°", p.rotY * 180 / kPi);
    d.Lez = fmt("%.10n°", p.rotZ * 180 / kPi);
    d.Ltx = fmt("%.4n m", p.shiftX);
    d.Lty = fmt("%.4n m", p.shiftY);
    d.Ltz = fmt("%.4n m", p.shiftZ);
    const ParameterErrorTexts e = parameterErrorTexts(stats_, numbers_);
    d.sMix = e.scale, d.sEx = e.rotX, d.sEy = e.rotY, d.sEz = e.rotZ;
    d.sTx = e.shiftX, d.sTy = e.shiftY, d.sTz = e.shiftZ;
    if (onParametersChanged && !LoadingData)
        onParametersChanged();
}

}  // namespace korthal
