// Loading and saving: the reference file, network files, point lists, the
// settings files, start-up and the writes at exit.

#include "project/Document.h"

#include "project/Dialogs.h"
#include "geodesy/Geoid.h"
#include "geodesy/TM87.h"
#include "network/EntryLimits.h"
#include "network/PointTables.h"
#include "project/JobFolder.h"
#include "project/Photos.h"
#include "project/PointFiles.h"
#include "project/RecentNetworks.h"
#include "project/Settings.h"
#include "table/TableFile.h"
#include "project/TextOutput.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace korthal {

namespace fs = std::filesystem;

namespace {

// A point line holds a name and three numbers; one this long is none.
constexpr std::size_t kMaxListLine = 4096;

std::string upperExtension(const std::string& name)
{
    std::string ext = fs::path(name).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}


std::vector<std::string> splitAt(const std::string& line, char sep)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        auto pos = line.find(sep, start);
        parts.push_back(line.substr(start, pos == std::string::npos ? std::string::npos : pos - start));
        if (pos == std::string::npos)
            break;
        start = pos + 1;
    }
    return parts;
}

std::string trimmed(const std::string& s)
{
    auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

}  // namespace

std::string Document::saveErrorMessage(const std::string& name)
{
    return "Το αρχείο " + name + " δεν μπορεί να αποθηκευτεί" + "\r" +
           "σιγουρευτείτε ότι υπάρχει δισκέτα στον οδηγό" + "\r" +
           "και ότι δεν υπάρχει προστασία εγγραφής";
}

bool Document::mayWriteOver(const std::string& name)
{
    std::error_code ec;
    return mayWriteOver(name, fs::exists(fs::path(name), ec));
}

bool Document::mayWriteOver(const std::string& name, bool exists)
{
    return !exists || dialogs().ask(replaceQuestion(name), "", MsgIcon::Exclamation,
                                    MsgButtons::YesNo) == Answer::Yes;
}

std::string replaceQuestion(const std::string& name)
{
    return "Το αρχείο " + name + " υπάρχει ήδη.\rΘέλετε να το αντικαταστήσετε;";
}

std::optional<std::string> Document::askNetworkName(const std::string& offered) const
{
    std::string initial = offered;
    while (true) {
        auto name = dialogs().input("Αποθήκευση των σημείων",
                                    "Σε ποιό αρχείο θα γίνει η αποθήκευση", initial);
        // The network's own file is written over without a question; a
        // point list it was read from is not its own file.
        const bool own = name && *name == CurrentFileName && upperExtension(*name) != ".TXT";
        if (!name || own || mayWriteOver(*name))
            return name;
        initial = *name;
    }
}

std::string Document::settingsFileName() const
{
    if (!SettingsFileOverride.empty())
        return SettingsFileOverride;
    return networkSettingsPath(CurrentFileName);
}

void Document::applySettings()
{
    numbers_.setDisplay(settings_->display);
    gps_->invalidateCalc();
}

void Document::LoadParams()
{
    settings_->LoadParams(settingsFileName(), shifts_);
    applySettings();
    setSettingsModified(false);
}

bool Document::switchNumberPage(int page)
{
    std::string error;
    const bool switched = settings_->switchPage(page, settingsFileName(), shifts_, error);
    setSettingsModified(false);
    applySettings();
    return switched;
}

void Document::settingsChanged()
{
    setSettingsModified(true);
    applySettings();
}

bool Document::saveParams()
{
    std::string error;
    return settings_->saveParams(settingsFileName(), error);
}

bool Document::saveParamsFrom(const std::string& previousSettingsFile)
{
    const std::string target = settingsFileName();
    std::error_code ec;
    if (previousSettingsFile != target && fs::is_regular_file(previousSettingsFile, ec))
        fs::copy_file(previousSettingsFile, target, fs::copy_options::overwrite_existing, ec);
    std::string error;
    return settings_->saveParams(target, error, true);
}

bool Document::LoadReference(const std::string& path)
{
    const bool wasLoading = LoadingData;
    LoadingData = true;
    gys_->disableControls();
    gys_->clear();
    const LoadResult res = LoadFromFile(*gys_, path);
    const bool ok = res.ok();
    LastLoadProblem = ok ? std::string() : res.message(path);
    gys_->enableControls();
    gys_->first();
    ReferenceModified = false;
    LoadingData = wasLoading;
    return ok;
}

void Document::openNetwork(const std::string& FileName)
{
    LoadingData = true;
    MemTable& g = *gps_;
    g.disableControls();
    g.clear();
    CurrentFileName = FileName;
    LastLoadProblem.clear();
    if (upperExtension(FileName) == ".TXT") {
        // The numbers of the list are read with the list's own settings.
        LoadParams();
        ImportPointList(FileName);
    } else if (std::error_code ec; fs::exists(FileName, ec)) {
        // Errors leave what was read, without a message.
        const LoadResult res = LoadFromFile(g, FileName);
        if (!res.ok())
            LastLoadProblem = res.message(FileName);
    }
    LoadParams();
    RecomputeNetwork();
    g.enableControls();
    NetworkModified = false;
    Caption = "   Korthal  (v1.0)    Αρχείο : " + CurrentFileName;
    LoadingData = false;
    g.first();
}

ImportResult Document::ImportPointList(const std::string& path)
{
    ImportResult result;
    LastImport = result;
    // The file is read twice, a line at a time: first for the separator,
    // then for the points, so that memory grows with the points alone.
    TextLineReader first(path, kMaxListLine);
    if (!first.isOpen()) {
        showMessage("Δεν μπορεί να ανοίξει το αρχείο " + path);
        return result;
    }
    result.opened = true;
    std::string raw;
    bool cut = false;
    while (first.next(raw, cut)) {
        if (raw.find('\t') != std::string::npos) {
            result.separator = '\t';
            break;
        }
        if (raw.find(',') != std::string::npos) {
            result.separator = ',';
            break;
        }
    }
    if (result.separator == '\0') {
        LastImport = result;
        return result;
    }

    // Numbers of input files: page 1 of the number settings.
    const NumberSettings& ns = settings_->numbers;
    NumberText input(numbers_.system());
    input.setDisplay(Separators{ns.DecimalSeparators[NumberDestination::InputFile], ns.ThousandSeparators[NumberDestination::InputFile]});
    const InputForm form = inputForm();
    const int limitDecimals = ns.EGSA87Decimals[NumberDestination::Screen];

    MemTable& g = *gps_;
    const bool wasLoading = LoadingData;
    LoadingData = true;
    g.disableControls();
    std::vector<ImportedDetail> details;
    long long lineNo = 0;
    TextLineReader in(path, kMaxListLine);
    while (in.next(raw, cut)) {
        ++lineNo;
        auto reject = [&](std::string why) {
            if (result.rejected.size() < ImportResult::kKeptRejections)
                result.rejected.emplace_back(lineNo, std::move(why));
            ++result.rejectedLines;
        };
        if (cut) {
            reject("η γραμμή έχει πάνω από " + std::to_string(kMaxListLine) + " χαρακτήρες");
            continue;
        }
        if (trimmed(raw).empty())
            continue;
        auto parts = splitAt(raw, result.separator);
        while (parts.size() > 4 && trimmed(parts.back()).empty())
            parts.pop_back();  // a separator at the end of the line
        if (parts.size() != 4) {
            reject("αναμένονται 4 στοιχεία (ΟΝΟΜΑ, Χ, Υ, Ζ), βρέθηκαν " + std::to_string(parts.size()));
            continue;
        }
        const std::string name = trimmed(parts[0]);
        if (name.empty()) {
            reject("λείπει το όνομα του σημείου");
            continue;
        }
        double xyz[3] = {0, 0, 0};
        std::string why;
        for (int k = 0; k < 3 && why.empty(); ++k) {
            const std::string t = trimmed(parts[static_cast<std::size_t>(k) + 1]);
            if (t.empty()) {
                why = "λείπει η συντεταγμένη " + std::to_string(k + 1);
                break;
            }
            NumberResult r = input.ParseNumber(t, ns.DecimalSeparators[NumberDestination::InputFile]);
            if (!r) {
                why = r.error.empty() ? conversionError(t) : r.error;
                break;
            }
            // 0 stands for a value not entered: it is not checked.
            if (r.value != 0)
                why = outOfRangeMessage(r.value, wgs84Limits(form, k), numbers_, limitDecimals);
            xyz[k] = static_cast<double>(r.value);
        }
        if (!why.empty()) {
            reject(why);
            continue;
        }

        // The point enters as if typed: the name rule and the coordinates.
        g.append();
        enterNetworkPointName(name);
        g.edit();
        g.set(gps::X, xyz[0]);
        g.set(gps::Y, xyz[1]);
        g.set(gps::Z, xyz[2]);
        g.post();
        const Rec r = g.current();
        if (g.getBoolean(r, gps::detailPoint) && measurementOf(g, r)) {
            ImportedDetail& d = details.emplace_back();
            d.rec = r;
            d.X = g.getFloat(r, gps::X);
            d.Y = g.getFloat(r, gps::Y);
            d.Z = g.getFloat(r, gps::Z);
            d.apoxh = g.getFloat(r, gps::apoxh);
        }
        ++result.imported;
    }
    // A detail point gets its derived coordinates and geoid undulation; the
    // points are computed all together, independent of one another.
    computeImported(details);
    for (const ImportedDetail& d : details) {
        if (d.noConvergence)
            showMessage(kMsgNoConvergence, MsgIcon::Exclamation);
        if (d.undulation)
            g.setFloat(d.rec, gps::apoxh, *d.undulation);
        g.setFloat(d.rec, gps::E, d.E);
        g.setFloat(d.rec, gps::N, d.N);
        g.setFloat(d.rec, gps::H, d.H);
    }
    g.enableControls();
    LoadingData = wasLoading;

    if (in.failed()) {
        ++result.rejectedLines;
        result.rejected.emplace_back(lineNo + 1, "σφάλμα ανάγνωσης του αρχείου");
    }
    if (result.rejectedLines > 0) {
        std::string msg = "Από το αρχείο " + path + " δεν διαβάστηκαν " +
                          std::to_string(result.rejectedLines) + " γραμμές:";
        for (const auto& [no, why] : result.rejected)
            msg += "\rγραμμή " + std::to_string(no) + " : " + why;
        if (result.rejectedLines > static_cast<long long>(result.rejected.size()))
            msg += "\r... και " +
                   std::to_string(result.rejectedLines -
                                  static_cast<long long>(result.rejected.size())) +
                   " ακόμη";
        showMessage(msg, MsgIcon::Exclamation);
    }
    LastImport = result;
    return result;
}

void Document::NewNetwork(bool inPreviousJobFolder)
{
    const std::string previous = CurrentFileName;
    tr_ = Transformation{};
    gps_->disableControls();
    gps_->clear();
    gps_->enableControls();
    gps_->first();
    residuals_.clear();
    outsideReference_.clear();
    outsideDetail_.clear();
    stats_ = AdjustmentStatistics{};
    // The choices of the old network's points mean nothing for the new one.
    if (!settings_->excludedPoints.empty()) {
        settings_->excludedPoints.clear();
        setSettingsModified(true);
    }
    CurrentFileName = "Νέο αρχείο σημείων.WGS84";
    if (inPreviousJobFolder) CurrentFileName = inJobFolder(previous, CurrentFileName);
    Caption = "   Korthal      Αρχείο : " + CurrentFileName;
    NetworkModified = true;
}

StartUpResult Document::startUp(const std::string& programSettingsFile,
                                const std::optional<std::string>& fileToOpen)
{
    LoadingData = true;
    StartUpResult result;
    result.program = loadProgramSettings(programSettingsFile);
    CurrentFileName = result.program.LastFile;
    IconsPath = result.program.IconsPath;
    MainWindowPlacement = result.program.window;
    RinexWindowPlacement = result.program.rinexWindow;
    // The reference points of the job: those of the network's folder.
    ReferenceFileName = referenceFileOf(fileToOpen.value_or(result.program.LastFile));
    LoadReference(ReferenceFileName);
    // Kept before the network's load clears it.
    result.referenceProblem = LastLoadProblem;
    openStartUpNetwork(result.program.LastFile, fileToOpen);
    std::error_code ec;
    result.networkOpened = fs::exists(CurrentFileName, ec);
    // The job's folders, beside a network that is there (not wherever a
    // program started for the first time happens to run).
    if (result.networkOpened) createJobFolders(CurrentFileName);
    // A last network that is gone is said (a first run has no settings file
    // and nothing to miss; a point list that cannot be read is said by the
    // import).
    if (!fileToOpen && LastLoadProblem.empty() && !result.networkOpened &&
        fs::exists(programSettingsFile, ec) && upperExtension(CurrentFileName) != ".TXT")
        LastLoadProblem = missingLastNetworkMessage(CurrentFileName);
    LoadingData = false;
    gys_->first();
    return result;
}

void Document::openStartUpNetwork(const std::string& lastFile,
                                  const std::optional<std::string>& fileToOpen)
{
    openNetwork(fileToOpen.value_or(lastFile));
    // A point list that cannot be opened was already reported by the import.
    std::error_code ec;
    if (fileToOpen && LastLoadProblem.empty() && upperExtension(*fileToOpen) != ".TXT" &&
        !fs::exists(*fileToOpen, ec))
        LastLoadProblem = "Δεν μπορεί να ανοίξει το αρχείο " + *fileToOpen;
}

std::string Document::offeredNetworkName() const
{
    if (upperExtension(CurrentFileName) == ".TXT")
        return changeFileExt(CurrentFileName, ".WGS84");
    return CurrentFileName;
}

bool Document::saveNetworkAs(const std::string& name)
{
    if (name.empty() || !SaveToFile(*gps_, name)) {
        showMessage(saveErrorMessage(name));
        return false;
    }
    const bool renamed = name != CurrentFileName;
    const std::string previousSettings = settingsFileName();
    // The photographs and observation tables are found by the network's
    // name: they go along.
    const std::string previousName = CurrentFileName;
    CurrentFileName = name;
    NetworkModified = false;
    takePointFilesAlong(previousName);
    if (renamed || settingsModified()) {
        if (!(renamed ? saveParamsFrom(previousSettings) : saveParams())) {
            showMessage(saveErrorMessage(settingsFileName()));
            return false;
        }
    }
    return true;
}

void Document::takePointFilesAlong(const std::string& previousName)
{
    if (previousName == CurrentFileName) return;
    std::vector<long long> ids;
    for (Rec r = gps_->firstStored(); r != NoRec; r = gps_->nextStored(r))
        ids.push_back(gps_->getInteger(r, gps::ID));
    std::string error;
    if (!copyPointFiles(previousName, CurrentFileName, ids, error))
        showMessage(error, MsgIcon::Exclamation);
}

ExitResult Document::ExitSequence(const std::string& programSettingsFile)
{
    ExitResult result;
    if (ReferenceModified) {
        if (SaveToFile(*gys_, ReferenceFileName).ok)
            result.referenceWritten = true;
        else {
            result.failed.push_back(ReferenceFileName);
            showMessage(saveErrorMessage(fs::path(ReferenceFileName).filename().string()));
        }
    }
    // The settings file of the network's name before a save under a new one.
    std::string renamedFrom;
    if (NetworkModified) {
        // A point list is never overwritten by the network file: its name
        // is offered with the network file's extension instead.
        std::string offered = offeredNetworkName();
        // After a failed write the question is asked again, with the name
        // that failed, so that the user can save the points elsewhere instead
        // of losing them. Cancelling the first question ends the sequence;
        // cancelling a later one goes on, as after a failed write, and the
        // network keeps the name of the file it came from (which exists).
        for (bool first = true;; first = false) {
            auto name = askNetworkName(offered);
            if (!name) {
                if (first) {
                    result.cancelled = true;
                    return result;
                }
                break;
            }
            if (!name->empty() && SaveToFile(*gps_, *name).ok) {
                // A network saved under a new name takes its settings along:
                // without them its coordinates would be read back in the
                // default input form.
                const std::string previousName = CurrentFileName;
                if (*name != CurrentFileName) {
                    setSettingsModified(true);
                    renamedFrom = settingsFileName();
                }
                CurrentFileName = *name;
                takePointFilesAlong(previousName);
                result.networkWritten = true;
                break;
            }
            result.failed.push_back(*name);
            showMessage(saveErrorMessage(*name));
            offered = *name;
        }
    }
    if (settingsModified()) {
        if (renamedFrom.empty() ? saveParams() : saveParamsFrom(renamedFrom)) {
            result.settingsWritten = true;
        } else {
            result.failed.push_back(settingsFileName());
            showMessage(saveErrorMessage(settingsFileName()));
        }
    }
    std::string error;  // ignored, as the window ignores it
    result.programSettingsWritten =
        saveProgramSettings(programSettingsFile,
                            ProgramSettings{CurrentFileName, IconsPath, MainWindowPlacement,
                                            RinexWindowPlacement},
                            error);
    return result;
}

SelfTestResult Document::RunSelfTest(SelfTest& test, const SelfTestSettings& s,
                                     const std::string& reportFile,
                                     const std::function<void(const SelfTestProgress&)>& progress)
{
    test.setCriteria(criteria());
    // Each run's messages come before its figures are shown.
    const auto shown = [&progress](const SelfTestProgress& p) {
        reportEstimation(p.estimation);
        if (!p.failure.empty())
            showMessage(p.failure);
        if (progress)
            progress(p);
    };
    if (reportFile.empty())
        return test.run(s, {}, shown);
    // Written as the runs go: a long test does not gather its report in memory.
    std::ofstream out(reportFile, std::ios::binary | std::ios::trunc);
    if (!out) {
        showMessage(saveErrorMessage(reportFile));
        return test.run(s, {}, shown);
    }
    SelfTestResult r = test.run(
        s,
        [&](const std::string& l) {
            out << toCodePage1253(l) << "\r\n";
        },
        shown);
    out.close();
    if (out)
        LastTextFile = reportFile;
    else
        showMessage(saveErrorMessage(reportFile));
    return r;
}

}  // namespace korthal
