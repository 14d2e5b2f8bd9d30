// What the bash completion takes from a command's help text: a made-up
// command whose help has the shapes the real ones use (a usage line with
// continuation lines, options in and out of brackets, a list of forms under
// a heading, placeholders of files, numbers and literal choices).

#include "tools/cli/BashCompletion.h"

#include <gtest/gtest.h>

using namespace korthal::cli;
using Kind = Completion::Kind;

namespace {

const Command kMadeUp{
    "shift", "a made-up command",
    "Usage: korthal-cli shift FROM TO NETWORK.WGS84 --out FILE [--sheet NAME|NUMBER]\n"
    "                         [--method none|2d|3d] [--mark LATITUDE LONGITUDE] [--quiet]\n"
    "\n"
    "Forms (FROM and TO):\n"
    "  wgs84-geo    WGS84 latitude, longitude\n"
    "  tm07         TM07 easting, northing\n"
    "\n"
    "Options:\n"
    "  --decimals N          decimals of metres\n"
    "  --settings FILE.INI   settings; --undulation 0 keeps heights\n"
    "  --crx                 a flag\n",
    nullptr};

}  // namespace

TEST(BashCompletion, ReadsTheHelpText)
{
    const CommandCompletion c = completionOf(kMadeUp);
    EXPECT_EQ(c.name, "shift");

    struct Row {
        const char* option;
        Kind kind;
        int values;
        std::vector<std::string> words;
        const char* extension;
    };
    const Row rows[] = {
        {"--out", Kind::Files, 1, {}, ""},
        {"--sheet", Kind::Value, 1, {}, ""},  // NAME|NUMBER are placeholders, not words
        {"--method", Kind::Words, 1, {"none", "2d", "3d"}, ""},
        {"--mark", Kind::Value, 2, {}, ""},
        {"--quiet", Kind::None, 0, {}, ""},
        {"--decimals", Kind::Value, 1, {}, ""},
        {"--settings", Kind::Files, 1, {}, "INI"},
        {"--crx", Kind::None, 0, {}, ""},
        {"--undulation", Kind::None, 0, {}, ""},  // only mentioned in a text
        {"--help", Kind::None, 0, {}, ""},
    };
    ASSERT_EQ(c.options.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].option);
        const OptionCompletion& o = c.options[i];
        EXPECT_EQ(o.name, rows[i].option);
        EXPECT_EQ(o.value.kind, rows[i].kind);
        EXPECT_EQ(o.value.values, rows[i].values);
        EXPECT_EQ(o.value.words, rows[i].words);
        EXPECT_EQ(o.value.extension, rows[i].extension);
    }

    // FROM and TO from the forms' heading, then a network file.
    ASSERT_EQ(c.arguments.size(), 3u);
    const std::vector<std::string> forms{"wgs84-geo", "tm07"};
    EXPECT_EQ(c.arguments[0].kind, Kind::Words);
    EXPECT_EQ(c.arguments[0].words, forms);
    EXPECT_EQ(c.arguments[1].words, forms);
    EXPECT_EQ(c.arguments[2].kind, Kind::Files);
    EXPECT_EQ(c.arguments[2].extension, "WGS84");
}
