#include "project/IniFile.h"
#include "project/Settings.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korthal;
using namespace korthal::test;
namespace fs = std::filesystem;

TEST(IniFile, SectionsKeysAndImmediateWrites)
{
    TempDir dir;
    const std::string path = dir.file("a.INI");
    writeBytes(path, "; comment\n[General]\nLastFile = C:\\\xCD\xDD\xEF.WGS84 \nX=abc\n\n[Other]\nn=7\n");
    IniFile ini(path);
    EXPECT_EQ(ini.readString("general", "LASTFILE", "d"), "C:\\Νέο.WGS84");
    EXPECT_EQ(ini.readString("General", "missing", "d"), "d");
    EXPECT_EQ(ini.readInteger("OTHER", "N", 0), 7);
    EXPECT_EQ(ini.readInteger("General", "X", 5), 5);
    EXPECT_DOUBLE_EQ(ini.readFloat("General", "X", 1.5, ','), 1.5);
    EXPECT_TRUE(ini.readBool("Other", "n", false));

    ASSERT_TRUE(ini.writeString("GENERAL", "icons", "Φωτό"));
    ASSERT_TRUE(ini.writeFloat("New", "v", -454.944, ','));
    ASSERT_TRUE(ini.writeInteger("other", "N", 8));
    // Written at once, in code page 1253, other lines kept.
    const std::string bytes = readBytes(path);
    EXPECT_NE(bytes.find("icons=\xD6\xF9\xF4\xFC\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("; comment"), std::string::npos);
    IniFile again(path);
    EXPECT_EQ(again.readString("General", "Icons", ""), "Φωτό");
    EXPECT_DOUBLE_EQ(again.readFloat("new", "V", 0, ','), -454.944);
    EXPECT_EQ(again.readInteger("Other", "n", 0), 8);
    // The new key went into its own section, before the next one.
    EXPECT_LT(bytes.find("icons="), bytes.find("[Other]"));

    IniFile nowhere(dir.file("no/such/dir/x.INI"));
    EXPECT_FALSE(nowhere.writeString("a", "b", "c"));
    EXPECT_FALSE(nowhere.error().empty());
}

TEST(Settings, FileNames)
{
    EXPECT_EQ(networkSettingsPath("Νέο αρχείο σημείων.WGS84"), "Νέο αρχείο σημείων.INI");
    EXPECT_EQ(networkSettingsPath("/data/TEMP.WGS84"), "/data/TEMP.INI");
    EXPECT_EQ(networkSettingsPath("/data.d/TEMP"), "/data.d/TEMP.INI");
    EXPECT_EQ(programSettingsPath("/opt/korthal/Korthal.exe"), "/opt/korthal/Korthal.INI");
}

TEST(Settings, ProgramSettingsDefaultsAndRoundTrip)
{
    TempDir dir;
    const std::string path = dir.file("Korthal.INI");
    ProgramSettings s = loadProgramSettings(path);
    EXPECT_EQ(s.LastFile, "TEMP.WGS84");
    EXPECT_EQ(s.IconsPath, ".");
    s.LastFile = "Δίκτυο.WGS84";
    std::string error;
    ASSERT_TRUE(saveProgramSettings(path, s, error)) << error;
    EXPECT_EQ(loadProgramSettings(path).LastFile, "Δίκτυο.WGS84");
    EXPECT_EQ(loadProgramSettings(path).IconsPath, ".");
    EXPECT_FALSE(loadProgramSettings(path).window.known);  // not written until known

    // The main window's place goes along in a section of its own.
    s.window = WindowPlacement{true, -20, 15, 1280, 900, true};
    ASSERT_TRUE(saveProgramSettings(path, s, error)) << error;
    const WindowPlacement w = loadProgramSettings(path).window;
    EXPECT_TRUE(w.known && w.maximized);
    EXPECT_EQ(w.left, -20);
    EXPECT_EQ(w.top, 15);
    EXPECT_EQ(w.width, 1280);
    EXPECT_EQ(w.height, 900);
    // A place with a missing or senseless size is no place.
    IniFile f(path);
    f.writeInteger("Window", "Width", 0);
    EXPECT_FALSE(loadProgramSettings(path).window.known);
}

TEST(Settings, NetworkDefaultsWithoutAFile)
{
    TempDir dir;
    DatumShiftTable shifts;
    NetworkSettings comma(Separators{',', '.'});
    comma.LoadParams(dir.file("none.INI"), shifts);
    EXPECT_EQ(comma.decimalChoice, 1);
    EXPECT_EQ(comma.thousandsChoice, 0);
    EXPECT_EQ(comma.gpsDecimals, 3);
    EXPECT_EQ(comma.egsaDecimals, 3);
    EXPECT_EQ(comma.paramDecimals, 8);
    EXPECT_EQ(comma.dmsDecimals, 9);
    EXPECT_EQ(comma.method, EstimationMethod::None);
    EXPECT_EQ(comma.maxDt, 100);
    EXPECT_EQ(comma.inputForm, InputForm::Geocentric);
    for (const NumberDestination k : kNumberDestinations) {
        EXPECT_EQ(comma.numbers.DecimalSeparators[k], ',');
        EXPECT_EQ(comma.numbers.ThousandSeparators[k], '.');
        EXPECT_EQ(comma.numbers.GPSDecimals[k], 3);
        EXPECT_EQ(comma.numbers.DMSDecimals[k], 9);
    }
    EXPECT_EQ(comma.display.decimal, ',');
    EXPECT_EQ(comma.shiftTexts[3], "  -454,944");
    EXPECT_DOUBLE_EQ(shifts(WGS84, EGSA87).dX, 200.2);
    EXPECT_DOUBLE_EQ(shifts(WGS84, GR).dZ, -502.543);

    NetworkSettings point(Separators{'.', ','});
    point.LoadParams(dir.file("none.INI"), shifts);
    EXPECT_EQ(point.decimalChoice, 0);
    EXPECT_EQ(point.thousandsChoice, 1);
    EXPECT_EQ(point.display.decimal, '.');
    EXPECT_EQ(point.display.thousands, ',');
    EXPECT_EQ(point.shiftTexts[0], "   200.200");
    // No file was created by reading.
    EXPECT_FALSE(fs::exists(dir.file("none.INI")));
}

TEST(Settings, NetworkFileValuesAndRules)
{
    TempDir dir;
    const std::string path = dir.file("net.INI");
    writeBytes(path,
               "[Separators]\r\nTseparator0=2\r\nDseparator0=1\r\nDseparator1=1\r\nTseparator1=9\r\n"
               "[Decimals]\r\nGPSdecimals0=15\r\nDDmmssdecimals0=-3\r\n"
               "[General]\r\ncoords=1\r\nmethod=2\r\nKind=1\r\nmaxDm=0\r\nGRS80DX=abc\r\n"
               "BESSELDX=-400,5\r\n");
    DatumShiftTable shifts;
    NetworkSettings s(Separators{',', '.'});
    s.LoadParams(path, shifts);
    EXPECT_EQ(s.thousandsChoice, 2);
    EXPECT_EQ(s.numbers.ThousandSeparators[NumberDestination::Screen], ' ');
    EXPECT_EQ(s.numbers.DecimalSeparators[NumberDestination::InputFile], ',');   // "Dseparator1" read as "DSeparator1"
    EXPECT_EQ(s.numbers.ThousandSeparators[NumberDestination::InputFile], ' ');  // out of range: the current choice
    EXPECT_EQ(s.gpsDecimals, 10);                     // the spin edit's range
    EXPECT_EQ(s.numbers.GPSDecimals[NumberDestination::Screen], 15);          // the run-time value as in the file
    EXPECT_EQ(s.dmsDecimals, 0);
    EXPECT_EQ(s.inputForm, InputForm::Ellipsoidal);
    EXPECT_EQ(s.method, EstimationMethod::Similarity3D);
    EXPECT_EQ(s.kind, 1);
    EXPECT_EQ(s.maxDm, 1);
    EXPECT_DOUBLE_EQ(shifts(WGS84, EGSA87).dX, 200.2);  // not a number: default
    EXPECT_DOUBLE_EQ(shifts(WGS84, GR).dX, -400.5);

    // The separator rule: a thousands point forces a decimal comma.
    s.chooseDecimalSeparator(0);
    s.chooseThousandsSeparator(0);
    EXPECT_EQ(s.decimalChoice, 1);
    EXPECT_TRUE(s.SettingsModified);

    s.setShiftText(0, "1.234");  // thousands separator typed for the decimal one
    s.shiftEditExit(0);
    EXPECT_EQ(s.shiftTexts[0], "1,234");
}

TEST(Settings, EstimationMethodNumbersReadAndWriteBack)
{
    // Each number a file may hold, the method it reads as, and what a
    // save writes back (a number no method has reads as none).
    const struct {
        const char* stored;
        EstimationMethod method;
        const char* written;
    } cases[] = {{"0", EstimationMethod::None, "0"},
                 {"1", EstimationMethod::Similarity2D, "1"},
                 {"2", EstimationMethod::Similarity3D, "2"},
                 {"3", EstimationMethod::HeposModel, "3"},
                 {"4", EstimationMethod::None, "0"},
                 {"-1", EstimationMethod::None, "0"}};
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.file("net.INI");
        writeBytes(path, std::string("[General]\r\nmethod=") + c.stored + "\r\nKind=0\r\n");
        DatumShiftTable shifts;
        NetworkSettings s(Separators{',', '.'});
        s.LoadParams(path, shifts);
        EXPECT_EQ(s.method, c.method) << c.stored;
        std::string error;
        ASSERT_TRUE(s.saveParams(path, error)) << error;
        EXPECT_NE(readBytes(path).find(std::string("\r\nmethod=") + c.written + "\r\n"),
                  std::string::npos)
            << c.stored;
        NetworkSettings again(Separators{',', '.'});
        again.LoadParams(path, shifts);
        EXPECT_EQ(again.method, c.method) << c.stored;
    }
}

TEST(Settings, PageSwitchAndSaveFailures)
{
    TempDir dir;
    const std::string path = dir.file("net.INI");
    DatumShiftTable shifts;
    NetworkSettings s(Separators{',', '.'});
    s.LoadParams(path, shifts);
    std::string error;
    ASSERT_TRUE(s.switchPage(1, path, shifts, error)) << error;
    s.setGpsDecimals(6);
    ASSERT_TRUE(s.switchPage(2, path, shifts, error)) << error;
    EXPECT_EQ(s.gpsDecimals, 3);  // page 2 has nothing stored
    EXPECT_EQ(s.numbers.GPSDecimals[NumberDestination::InputFile], 6);
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger("Decimals", "GPSdecimals1", 0), 6);
    EXPECT_FALSE(ini.valueExists("Decimals", "GPSdecimals2"));
    EXPECT_EQ(ini.readInteger("General", "coords", -1), 0);
    EXPECT_EQ(ini.readString("General", "BESSELDY", ""), "-375,483");

    // A shift that is not a number stops the save at its key.
    s.setShiftText(4, "x");
    EXPECT_FALSE(s.switchPage(0, path, shifts, error));
    EXPECT_EQ(s.page, 2);
    EXPECT_TRUE(s.SettingsModified);
    EXPECT_NE(error.find("x"), std::string::npos);
    IniFile after(path);
    EXPECT_TRUE(after.valueExists("Decimals", "GPSdecimals2"));  // written before the failure
}
