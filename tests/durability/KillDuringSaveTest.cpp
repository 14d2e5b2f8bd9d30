// Saves that survive a kill: a child process saves a file over and over, two
// versions in turn, and is killed with SIGKILL at a random moment; the file on
// disk must then be one complete version, never a mix, a piece or nothing.
// Done many times for a large network, a large observation table and a
// settings file.

#include "network/PointTables.h"
#include "project/IniFile.h"
#include "project/Settings.h"
#include "support/Files.h"
#include "table/Cp1253.h"
#include "table/TableFile.h"
#include "views/RinexTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

using namespace korthal;
using namespace korthal::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kKills = 30;
// Kills go on past kKills, up to this many, until one came in the middle of
// writing.
constexpr int kMostKills = 100;

// Starts a child that runs `save(i)` for i = 0, 1, 2, ... until it is killed.
pid_t startSaving(const std::function<void(int)>& save)
{
    const pid_t pid = fork();
    if (pid == 0) {
        for (int i = 0;; ++i)
            save(i);
    }
    return pid;
}

void kill9(pid_t pid)
{
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the saving child ended by itself";
}

// How long one call of save takes here (the slower of two).
Clock::duration timeOf(const std::function<void(int)>& save)
{
    Clock::duration longest{};
    for (int i = 0; i < 2; ++i) {
        const auto start = Clock::now();
        save(i);
        longest = std::max(longest, Clock::now() - start);
    }
    return longest;
}

// Kills a child saving with `save` kKills times at random moments within
// about two saves, and after each kill asks `check` about the file. Then,
// while `enough` says no kill has yet come in the middle of writing (the
// writing is a short moment at the end of a save, which random moments
// seldom hit), up to kMostKills: the child is killed as soon as `enough`
// sees the file being written.
void killRepeatedly(const std::function<void(int)>& save, const std::function<void(int)>& check,
                    const std::function<bool()>& enough)
{
    const auto once = timeOf(save);
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(once).count() * 2);
    for (int k = 0; (k < kKills || !enough()) && k < kMostKills && !testing::Test::HasFailure();
         ++k) {
        const pid_t child = startSaving(save);
        ASSERT_GT(child, 0);
        if (k < kKills) {
            std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        } else {
            const auto giveUp = Clock::now() + 4 * once + std::chrono::milliseconds(200);
            while (!enough() && Clock::now() < giveUp) {
            }
        }
        kill9(child);
        check(k);
    }
}

// A network of many points, its values depending on `version`.
void fillNetwork(MemTable& t, int version, int points)
{
    for (int i = 0; i < points; ++i) {
        const Rec r = t.appendRecord();
        t.setString(r, gps::Name, "P" + std::to_string(i));
        t.setFloat(r, gps::X, 4600000.125 + i + version);
        t.setFloat(r, gps::Y, 2000000.5 - i);
        t.setFloat(r, gps::Z, 4100000.75 + version * 0.001);
        t.setString(r, gps::Perigrafh, version ? "δεύτερη μέτρηση" : "πρώτη μέτρηση");
    }
}

// The new files that killed saves left beside `name` in `dir`: proof that
// kills came in the middle of a save, not only between saves.
int leftovers(const TempDir& dir, const std::string& name)
{
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path))
        if (e.path().filename().string().rfind(name + ".", 0) == 0)
            ++n;
    return n;
}

}  // namespace

TEST(KillDuringSave, NetworkFileIsAlwaysOneCompleteVersion)
{
    TempDir dir("kill-network");
    const std::string path = dir.file("JOB.WGS84");
    DatumShiftTable shifts;
    MemTable versions[2];
    std::string bytes[2];
    for (int v = 0; v < 2; ++v) {
        defineGPS(versions[v], shifts);
        fillNetwork(versions[v], v, 15000);
        const std::string ref = dir.file("version" + std::to_string(v));
        ASSERT_TRUE(SaveToFile(versions[v], ref).ok);
        bytes[v] = readBytes(ref);
    }
    ASSERT_NE(bytes[0], bytes[1]);
    ASSERT_TRUE(SaveToFile(versions[0], path).ok);

    killRepeatedly([&](int i) { SaveToFile(versions[i % 2], path); },
                   [&](int k) {
                       const std::string now = readBytes(path);
                       EXPECT_TRUE(now == bytes[0] || now == bytes[1])
                           << "after kill " << k << " the file holds " << now.size() << " bytes";
                   },
                   [&] { return leftovers(dir, "JOB.WGS84") > 0; });
    EXPECT_GT(leftovers(dir, "JOB.WGS84"), 0);
}

TEST(KillDuringSave, ObservationTableIsAlwaysOneCompleteVersion)
{
    TempDir dir("kill-rinex");
    RinexTable versions[2];
    std::string bytes[2];
    for (int v = 0; v < 2; ++v) {
        MemTable& t = versions[v].table();
        for (int i = 0; i < 30000; ++i) {
            const Rec r = t.appendRecord();
            t.setInteger(r, rnx::epoxh, i / 8 + 1);
            t.setDate(r, rnx::Date, Date{2021, 12, 21});
            t.setInteger(r, rnx::PRN, i % 8 + 1 + v);
            t.setFloat(r, rnx::sec, (i / 8) % 60);
            t.setFloat(r, rnx::L1, 110000000.125 + i * 3.5);
            t.setFloat(r, rnx::C1, 21000000.25 + i);
        }
        versions[v].RinexFileName = dir.file("version" + std::to_string(v));
        std::string error;
        ASSERT_TRUE(versions[v].store(error)) << error;
        bytes[v] = readBytes(versions[v].RinexFileName);
        versions[v].RinexFileName = dir.file("JOB000001.RNX");
    }
    std::string error;
    ASSERT_TRUE(versions[0].store(error)) << error;

    killRepeatedly(
        [&](int i) {
            std::string e;
            versions[i % 2].store(e);
        },
        [&](int k) {
            const std::string now = readBytes(dir.file("JOB000001.RNX"));
            EXPECT_TRUE(now == bytes[0] || now == bytes[1])
                << "after kill " << k << " the file holds " << now.size() << " bytes";
        },
        [&] { return leftovers(dir, "JOB000001.RNX") > 0; });
    EXPECT_GT(leftovers(dir, "JOB000001.RNX"), 0);
}

TEST(KillDuringSave, SettingsFileIsAlwaysWholeWithEveryKey)
{
    // The settings are written key by key, each write replacing the whole
    // file: after a kill every key is there, with one of its two values, and
    // the lines kept from elsewhere are all there too.
    TempDir dir("kill-settings");
    const std::string path = dir.file("JOB.INI");
    std::string kept;
    for (int i = 0; i < 500; ++i)
        kept += "Σημείωση" + std::to_string(i) + "=κρατιέται όπως είναι\r\n";
    writeBytes(path, utf8ToCp1253("[Notes]\r\n" + kept));

    NetworkSettings versions[2] = {NetworkSettings(Separators{',', '.'}),
                                   NetworkSettings(Separators{',', '.'})};
    versions[1].setGpsDecimals(7);
    versions[1].setMethod(EstimationMethod::Similarity3D);
    versions[1].setConvergence(5, 6, 7);
    versions[1].setShiftText(0, "123,456");
    std::string error;
    ASSERT_TRUE(versions[0].saveParams(path, error)) << error;

    killRepeatedly(
        [&](int i) {
            std::string e;
            versions[i % 2].saveParams(path, e);
        },
        [&](int k) {
            const std::string now = readBytes(path);
            ASSERT_NE(now.find(utf8ToCp1253(kept)), std::string::npos)
                << "after kill " << k;
            const IniFile ini(path);
            const auto either = [&](const char* section, const char* key, const char* a,
                                    const char* b) {
                const std::string v = ini.readString(section, key, "(none)");
                EXPECT_TRUE(v == a || v == b) << "after kill " << k << ": " << key << "=" << v;
            };
            either("Decimals", "GPSdecimals0", "4", "7");
            either("General", "method", "0", "2");
            either("General", "maxDt", "100", "7");
            either("General", "GRS80DX", "200,2", "123,456");
            either("General", "ED50DZ", "128,8", "128,8");
        },
        [] { return true; });
}
