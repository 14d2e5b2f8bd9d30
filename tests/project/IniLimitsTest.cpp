// Settings files that no one should have: values beyond what a setting can
// hold, a file far too large to be settings, and values with line breaks that
// would turn into lines of their own.

#include "geodesy/DatumShift.h"
#include "project/IniFile.h"
#include "project/Settings.h"
#include "support/Files.h"

#include <gtest/gtest.h>

using namespace korthal;
using namespace korthal::test;

TEST(IniLimits, NumbersBeyondEverySettingGiveDefaultsOrLimits)
{
    TempDir dir("ini-numbers");
    const std::string path = dir.file("JOB.INI");
    writeBytes(path,
               "[General]\r\nGRS80DX=1E400\r\nGRS80DY=-1,5E308\r\nmaxDm=99999999999999999999\r\n"
               "maxDe=-2147483649\r\nmethod=4294967298\r\n[Decimals]\r\nGPSdecimals0=2147483648\r\n"
               "EGSAdecimals1=-9223372036854775808\r\n");
    const IniFile ini(path);
    EXPECT_DOUBLE_EQ(ini.readFloat("General", "GRS80DX", 200.2, ','), 200.2);
    EXPECT_DOUBLE_EQ(ini.readFloat("General", "GRS80DY", -74.8, ','), -1.5e308);

    NetworkSettings s(Separators{',', '.'});
    DatumShiftTable shifts;
    s.LoadParams(path, shifts);
    EXPECT_EQ(s.shiftTexts[0], "   200,200");
    EXPECT_EQ(s.maxDm, 100);  // not a number a long long holds: the default
    EXPECT_EQ(s.maxDe, 1);    // below the range: its lower end
    EXPECT_EQ(s.method, EstimationMethod::None);
    EXPECT_EQ(s.gpsDecimals, 10);
    EXPECT_EQ(s.numbers.GPSDecimals[NumberDestination::Screen], 18);
    EXPECT_EQ(s.numbers.EGSA87Decimals[NumberDestination::InputFile], 0);
}

TEST(IniLimits, AFileTooLargeForSettingsIsNeitherReadNorWritten)
{
    TempDir dir("ini-large");
    const std::string path = dir.file("JOB.INI");
    std::string bytes = "[General]\r\nmethod=2\r\n";
    while (bytes.size() <= IniFile::kMaxBytes)
        bytes += "method=2\r\n";
    writeBytes(path, bytes);

    IniFile ini(path);
    EXPECT_FALSE(ini.valueExists("General", "method"));
    EXPECT_FALSE(ini.writeInteger("General", "method", 1));
    EXPECT_NE(ini.error().find("JOB.INI"), std::string::npos) << ini.error();
    EXPECT_EQ(readBytes(path), bytes);

    NetworkSettings s(Separators{',', '.'});
    std::string error;
    EXPECT_FALSE(s.saveParams(path, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readBytes(path), bytes);

    // Just below the limit is still a settings file.
    bytes.resize(IniFile::kMaxBytes - 100);
    writeBytes(path, bytes);
    EXPECT_TRUE(IniFile(path).valueExists("General", "method"));
}

TEST(IniLimits, LineBreaksInNamesOrValuesAreNeverWritten)
{
    TempDir dir("ini-breaks");
    const std::string path = dir.file("Korthal.INI");
    ProgramSettings p;
    p.LastFile = "ΔΙΚΤΥΟ.WGS84";
    std::string error;
    ASSERT_TRUE(saveProgramSettings(path, p, error)) << error;
    const std::string before = readBytes(path);

    IniFile ini(path);
    EXPECT_FALSE(ini.writeString("General", "LastFile", "a.WGS84\r\n[General]\r\nIconsPath=/"));
    EXPECT_FALSE(ini.error().empty());
    EXPECT_FALSE(ini.writeString("General", std::string("Last\0File", 9), "x"));
    EXPECT_FALSE(ini.writeString("Gen\neral", "LastFile", "x"));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(loadProgramSettings(path).LastFile, "ΔΙΚΤΥΟ.WGS84");
}
