#include "project/Settings.h"

#include "project/IniFile.h"

#include <algorithm>
#include <tuple>
#include <charconv>

namespace korthal {

const std::array<const char*, 9> kShiftKeys = {"GRS80DX",  "GRS80DY",  "GRS80DZ",
                                               "BESSELDX", "BESSELDY", "BESSELDZ",
                                               "ED50DX",   "ED50DY",   "ED50DZ"};
const std::array<double, 9> kShiftDefaults = {200.2,    -74.8,    -246.0, -454.944, -375.483,
                                              -502.543, 86.9,     92.5,   128.8};

namespace {

const char* const kGeneral = "General";
const char* const kSeparators = "Separators";
const char* const kDecimals = "Decimals";
const char* const kWindow = "Window";
const char* const kExcluded = "ExcludedPoints";

int clampInt(long long v, int lo, int hi)
{
    return static_cast<int>(std::clamp<long long>(v, lo, hi));
}

std::string trimmed(const std::string& s)
{
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return {};
    const auto b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

}  // namespace

std::string changeFileExt(const std::string& path, const std::string& ext)
{
    const auto slash = path.find_last_of("/\\");
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ext;
    return path.substr(0, dot) + ext;
}

std::string programSettingsPath(const std::string& executablePath)
{
    return changeFileExt(executablePath, ".INI");
}

std::string networkSettingsPath(const std::string& networkFile)
{
    return changeFileExt(networkFile, ".INI");
}

namespace {

const char* const kRinexWindow = "RinexWindow";

// A window's place, taken whole or not at all.
WindowPlacement readPlacement(const IniFile& ini, const char* section)
{
    WindowPlacement w;
    constexpr long long kMissing = -1000000000;
    const long long left = ini.readInteger(section, "Left", kMissing);
    const long long top = ini.readInteger(section, "Top", kMissing);
    const long long width = ini.readInteger(section, "Width", 0);
    const long long height = ini.readInteger(section, "Height", 0);
    constexpr long long kLimit = 100000;
    if (left > -kLimit && left < kLimit && top > -kLimit && top < kLimit && width > 0 &&
        width < kLimit && height > 0 && height < kLimit) {
        w.known = true;
        w.left = static_cast<int>(left);
        w.top = static_cast<int>(top);
        w.width = static_cast<int>(width);
        w.height = static_cast<int>(height);
        w.maximized = ini.readBool(section, "Maximized", false);
    }
    return w;
}

// Written only when known.
bool writePlacement(IniFile& ini, const char* section, const WindowPlacement& w)
{
    return !w.known ||
           (ini.writeInteger(section, "Left", w.left) && ini.writeInteger(section, "Top", w.top) &&
            ini.writeInteger(section, "Width", w.width) &&
            ini.writeInteger(section, "Height", w.height) &&
            ini.writeBool(section, "Maximized", w.maximized));
}

}  // namespace

ProgramSettings loadProgramSettings(const std::string& iniPath)
{
    const IniFile ini(iniPath);
    ProgramSettings s;
    s.LastFile = ini.readString(kGeneral, "LastFile", s.LastFile);
    s.IconsPath = ini.readString(kGeneral, "IconsPath", s.IconsPath);
    s.window = readPlacement(ini, kWindow);
    s.rinexWindow = readPlacement(ini, kRinexWindow);
    return s;
}

bool saveProgramSettings(const std::string& iniPath, const ProgramSettings& s, std::string& error)
{
    IniFile ini(iniPath);
    if (!ini.writeString(kGeneral, "LastFile", s.LastFile) ||
        !ini.writeString(kGeneral, "IconsPath", s.IconsPath)) {
        error = ini.error();
        return false;
    }
    if (!writePlacement(ini, kWindow, s.window) || !writePlacement(ini, kRinexWindow, s.rinexWindow)) {
        error = ini.error();
        return false;
    }
    return true;
}

NetworkSettings::NetworkSettings(Separators system) : system_(system)
{
    for (std::size_t i = 0; i < shiftTexts.size(); ++i)
        shiftTexts[i] = formatPiece("%10.3f", static_cast<Extended>(kShiftDefaults[i]), system_);
    display = Separators{numbers.DecimalSeparators[NumberDestination::Screen], numbers.ThousandSeparators[NumberDestination::Screen]};
}

void NetworkSettings::storeSeparators()
{
    const NumberDestination k = destinationOfPage(page);
    numbers.ThousandSeparators[k] = thousandsFromIndex(thousandsChoice);
    numbers.DecimalSeparators[k] = decimalFromIndex(decimalChoice);
    display = Separators{numbers.DecimalSeparators[NumberDestination::Screen], numbers.ThousandSeparators[NumberDestination::Screen]};
    SettingsModified = true;
}

void NetworkSettings::chooseThousandsSeparator(int choice)
{
    thousandsChoice = std::clamp(choice, 0, 3);
    const Separators s = afterThousandsChange(
        Separators{decimalFromIndex(decimalChoice), thousandsFromIndex(thousandsChoice)});
    decimalChoice = decimalToIndex(s.decimal);
    storeSeparators();
}

void NetworkSettings::chooseDecimalSeparator(int choice)
{
    decimalChoice = std::clamp(choice, 0, 1);
    const Separators s = afterDecimalChange(
        Separators{decimalFromIndex(decimalChoice), thousandsFromIndex(thousandsChoice)});
    thousandsChoice = thousandsToIndex(s.thousands);
    storeSeparators();
}

void NetworkSettings::setGpsDecimals(int value)
{
    gpsDecimals = std::clamp(value, 0, kMaxCoordDecimals);
    numbers.GPSDecimals[destinationOfPage(page)] = gpsDecimals;
    SettingsModified = true;
}

void NetworkSettings::setEgsa87Decimals(int value)
{
    egsaDecimals = std::clamp(value, 0, kMaxCoordDecimals);
    numbers.EGSA87Decimals[destinationOfPage(page)] = egsaDecimals;
    SettingsModified = true;
}

void NetworkSettings::setParameterDecimals(int value)
{
    paramDecimals = std::clamp(value, 0, kMaxCoordDecimals);
    numbers.ParamDecimals[destinationOfPage(page)] = paramDecimals;
    SettingsModified = true;
}

void NetworkSettings::setDmsDecimals(int value)
{
    dmsDecimals = std::clamp(value, 0, kMaxDMSDecimals);
    numbers.DMSDecimals[destinationOfPage(page)] = dmsDecimals;
    SettingsModified = true;
}

EstimationMethod estimationMethodOf(long long stored)
{
    switch (stored) {
    case 1:
        return EstimationMethod::Similarity2D;
    case 2:
        return EstimationMethod::Similarity3D;
    case 3:
        return EstimationMethod::HeposModel;
    default:
        return EstimationMethod::None;
    }
}

void NetworkSettings::setMethod(EstimationMethod m)
{
    method = m;
    SettingsModified = true;
}

void NetworkSettings::setKind(int v)
{
    kind = std::clamp(v, 0, 2);
    SettingsModified = true;
}

void NetworkSettings::setConvergence(int dm, int de, int dt)
{
    maxDm = std::clamp(dm, kMinConvergence, kMaxConvergence);
    maxDe = std::clamp(de, kMinConvergence, kMaxConvergence);
    maxDt = std::clamp(dt, kMinConvergence, kMaxConvergence);
    SettingsModified = true;
}

void NetworkSettings::setAprioriPrecision(int horizontalMm, int verticalMm)
{
    aprioriH = std::clamp(horizontalMm, 1, 1000);
    aprioriV = std::clamp(verticalMm, 1, 1000);
    SettingsModified = true;
}

void NetworkSettings::setShiftText(int i, std::string text)
{
    shiftTexts[static_cast<std::size_t>(i)] = std::move(text);
    SettingsModified = true;
}

void NetworkSettings::shiftEditExit(int i)
{
    std::string& t = shiftTexts[static_cast<std::size_t>(i)];
    if (system_.thousands == '\0')
        return;
    const auto pos = t.find(system_.thousands);
    if (pos != std::string::npos)
        t[pos] = system_.decimal;
}

void NetworkSettings::setInputForm(InputForm form)
{
    if (form != inputForm)
        SettingsModified = true;
    inputForm = form;
}

void NetworkSettings::setExcluded(long long id, const std::string& name, bool excluded)
{
    const auto it = excludedPoints.find(id);
    if (excluded == (it != excludedPoints.end()))
        return;
    if (excluded)
        excludedPoints.emplace(id, name);
    else
        excludedPoints.erase(it);
    SettingsModified = true;
}

void NetworkSettings::LoadParams(const std::string& iniPath, DatumShiftTable& shifts)
{
    // The separator choices start from the system's.
    if (system_.decimal == ',' || system_.decimal == '.')
        chooseDecimalSeparator(decimalToIndex(system_.decimal));
    chooseThousandsSeparator(thousandsToIndex(system_.thousands));

    const IniFile ini(iniPath);
    const std::string k = std::to_string(page);

    const long long t = ini.readInteger(kSeparators, "Tseparator" + k, thousandsChoice);
    chooseThousandsSeparator(t >= 0 && t <= 3 ? static_cast<int>(t) : thousandsChoice);
    const long long d = ini.readInteger(kSeparators, "Dseparator" + k, decimalChoice);
    chooseDecimalSeparator(d >= 0 && d <= 1 ? static_cast<int>(d) : decimalChoice);

    gpsDecimals = clampInt(ini.readInteger(kDecimals, "GPSdecimals" + k, 3), 0, kMaxCoordDecimals);
    egsaDecimals = clampInt(ini.readInteger(kDecimals, "EGSAdecimals" + k, 3), 0, kMaxCoordDecimals);
    paramDecimals =
        clampInt(ini.readInteger(kDecimals, "Paramsdecimals" + k, 8), 0, kMaxCoordDecimals);
    dmsDecimals = clampInt(ini.readInteger(kDecimals, "DDmmssdecimals" + k, 9), 0, kMaxDMSDecimals);

    inputForm = ini.readBool(kGeneral, "coords", false) ? InputForm::Ellipsoidal : InputForm::Geocentric;

    // The shifts go through the edits' texts (three decimals) and back.
    std::array<double, 9> v{};
    for (std::size_t i = 0; i < 9; ++i) {
        const double read = ini.readFloat(kGeneral, kShiftKeys[i], kShiftDefaults[i], system_.decimal);
        shiftTexts[i] = formatPiece("%10.3f", static_cast<Extended>(read), system_);
        const NumberResult back = parseDecimal(trimmed(shiftTexts[i]), system_.decimal);
        v[i] = back.ok ? static_cast<double>(back.value) : read;
    }
    shifts.refill(ShiftTriple{v[0], v[1], v[2]}, ShiftTriple{v[3], v[4], v[5]},
                  ShiftTriple{v[6], v[7], v[8]});

    method = estimationMethodOf(ini.readInteger(kGeneral, "method", 0));
    const long long kd = ini.readInteger(kGeneral, "Kind", 0);
    kind = kd >= 0 && kd <= 2 ? static_cast<int>(kd) : 0;
    maxDm = clampInt(ini.readInteger(kGeneral, "maxDm", 100), kMinConvergence, kMaxConvergence);
    maxDe = clampInt(ini.readInteger(kGeneral, "maxDe", 100), kMinConvergence, kMaxConvergence);
    maxDt = clampInt(ini.readInteger(kGeneral, "maxDt", 100), kMinConvergence, kMaxConvergence);
    aprioriH = clampInt(ini.readInteger(kGeneral, "AprioriH", kDefaultAprioriH), 1, 1000);
    aprioriV = clampInt(ini.readInteger(kGeneral, "AprioriV", kDefaultAprioriV), 1, 1000);

    // Every page's separators and decimals; codes out of range give the
    // current choice. Decimals are kept as the file has them, within what
    // the formatting can show.
    for (const NumberDestination p : kNumberDestinations) {
        const std::string n = std::to_string(storedNumber(p));
        const long long ts = ini.readInteger(kSeparators, "Tseparator" + n, thousandsChoice);
        numbers.ThousandSeparators[p] =
            thousandsFromIndex(ts >= 0 && ts <= 3 ? static_cast<int>(ts) : thousandsChoice);
    }
    for (const NumberDestination p : kNumberDestinations) {
        const std::string n = std::to_string(storedNumber(p));
        const long long ds = ini.readInteger(kSeparators, "DSeparator" + n, decimalChoice);
        numbers.DecimalSeparators[p] =
            decimalFromIndex(ds >= 0 && ds <= 1 ? static_cast<int>(ds) : decimalChoice);
    }
    for (const NumberDestination p : kNumberDestinations) {
        const std::string n = std::to_string(storedNumber(p));
        numbers.GPSDecimals[p] = clampInt(ini.readInteger(kDecimals, "GPSdecimals" + n, 3), 0, 18);
        numbers.EGSA87Decimals[p] = clampInt(ini.readInteger(kDecimals, "EGSAdecimals" + n, 3), 0, 18);
        numbers.ParamDecimals[p] = clampInt(ini.readInteger(kDecimals, "Paramsdecimals" + n, 8), 0, 18);
        numbers.DMSDecimals[p] = clampInt(ini.readInteger(kDecimals, "DDmmssdecimals" + n, 9), 0, 18);
    }
    display = Separators{numbers.DecimalSeparators[NumberDestination::Screen], numbers.ThousandSeparators[NumberDestination::Screen]};

    // A key that is not a record ID is not ours: it is ignored.
    excludedPoints.clear();
    for (const auto& [key, name] : ini.readSection(kExcluded)) {
        long long id = 0;
        const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), id);
        if (ec == std::errc() && end == key.data() + key.size() && id > 0)
            excludedPoints.emplace(id, name);
    }
}

bool NetworkSettings::saveParams(const std::string& iniPath, std::string& error, bool allPages)
{
    IniFile ini(iniPath);
    const std::string k = std::to_string(page);
    auto fail = [&]() {
        error = ini.error();
        return false;
    };
    for (const NumberDestination p : kNumberDestinations) {
        if (!allPages || p == destinationOfPage(page))
            continue;  // written from the controls below
        const std::string n = std::to_string(storedNumber(p));
        if (!ini.writeInteger(kSeparators, "Tseparator" + n,
                              thousandsToIndex(numbers.ThousandSeparators[p])) ||
            !ini.writeInteger(kSeparators, "Dseparator" + n,
                              decimalToIndex(numbers.DecimalSeparators[p])) ||
            !ini.writeInteger(kDecimals, "GPSdecimals" + n, numbers.GPSDecimals[p]) ||
            !ini.writeInteger(kDecimals, "EGSAdecimals" + n, numbers.EGSA87Decimals[p]) ||
            !ini.writeInteger(kDecimals, "Paramsdecimals" + n, numbers.ParamDecimals[p]) ||
            !ini.writeInteger(kDecimals, "DDmmssdecimals" + n, numbers.DMSDecimals[p]))
            return fail();
    }
    if (!ini.writeInteger(kSeparators, "Tseparator" + k, thousandsChoice) ||
        !ini.writeInteger(kSeparators, "Dseparator" + k, decimalChoice))
        return fail();
    if (!ini.writeInteger(kDecimals, "GPSdecimals" + k, gpsDecimals) ||
        !ini.writeInteger(kDecimals, "EGSAdecimals" + k, egsaDecimals) ||
        !ini.writeInteger(kDecimals, "Paramsdecimals" + k, paramDecimals) ||
        !ini.writeInteger(kDecimals, "DDmmssdecimals" + k, dmsDecimals))
        return fail();
    if (!ini.writeInteger(kGeneral, "method", storedNumber(method)) || !ini.writeInteger(kGeneral, "Kind", kind) ||
        !ini.writeInteger(kGeneral, "maxDm", maxDm) || !ini.writeInteger(kGeneral, "maxDe", maxDe) ||
        !ini.writeInteger(kGeneral, "maxDt", maxDt) ||
        !ini.writeInteger(kGeneral, "coords", inputForm == InputForm::Geocentric ? 0 : 1))
        return fail();
    // The a-priori precision keys stay out of files that never had them,
    // so that a network's settings file keeps its bytes.
    for (const auto& [key, value, def] : {std::tuple{"AprioriH", aprioriH, kDefaultAprioriH},
                                          std::tuple{"AprioriV", aprioriV, kDefaultAprioriV}})
        if ((value != def || ini.valueExists(kGeneral, key)) &&
            !ini.writeInteger(kGeneral, key, value))
            return fail();
    for (std::size_t i = 0; i < 9; ++i) {
        const std::string text = trimmed(shiftTexts[i]);
        const NumberResult n = parseDecimal(text, system_.decimal);
        if (!n.ok || text.empty()) {
            error = conversionError(shiftTexts[i]);
            return false;
        }
        if (!ini.writeFloat(kGeneral, kShiftKeys[i], static_cast<double>(n.value), system_.decimal))
            return fail();
    }
    std::vector<std::pair<std::string, std::string>> excluded;
    for (const auto& [id, name] : excludedPoints)
        excluded.emplace_back(std::to_string(id), name);
    if (!ini.replaceSection(kExcluded, excluded))
        return fail();
    SettingsModified = false;
    return true;
}

bool NetworkSettings::switchPage(int newPage, const std::string& iniPath, DatumShiftTable& shifts,
                                 std::string& error)
{
    if (SettingsModified && !saveParams(iniPath, error))
        return false;
    page = std::clamp(newPage, 0, 2);
    LoadParams(iniPath, shifts);
    SettingsModified = false;
    return true;
}

}  // namespace korthal
