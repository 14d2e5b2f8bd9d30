// korthal-cli geoid: the built-in geoid undulation at one point.

#include "geodesy/Angles.h"
#include "geodesy/Geoid.h"
#include "tools/cli/CliSupport.h"
#include "tools/cli/Command.h"

#include <cstdio>
#include <iostream>

namespace korthal::cli {

namespace {

int usage(const std::string& what) { return usageError("geoid", what); }

int run(const std::vector<std::string>& args)
{
    std::vector<std::string> positional;
    std::optional<std::string> settingsPath;
    for (std::size_t i = 0; i < args.size();) {
        if (const std::string problem = sharedArgument(args, i, settingsPath, positional);
            !problem.empty())
            return usage(problem);
    }
    if (positional.size() != 2)
        return usage("needs a latitude and a longitude (DD.MMSSsss)");
    const auto phi = parseNumber(positional[0]);
    const auto lambda = parseNumber(positional[1]);
    if (!phi)
        return usage("the latitude \"" + positional[0] + "\" is not a number");
    if (!lambda)
        return usage("the longitude \"" + positional[1] + "\" is not a number");

    std::string error;
    const auto shifts = shiftTable(settingsPath, error);
    if (!shifts) {
        std::cerr << "korthal-cli geoid: " << error << "\n";
        return 2;
    }
    const auto n = GeoidUndulation(*shifts, static_cast<double>(DMSToRad(*phi)),
                                   static_cast<double>(DMSToRad(*lambda)));
    if (!n) {
        std::cerr << "korthal-cli geoid: " << positional[0] << ' ' << positional[1]
                  << " lies outside the geoid model (34deg to 42deg N, 19deg to 29deg E)\n";
        return 1;
    }
    std::cout << formatFixed(*n, 1) << '\n';
    return 0;
}

const Registration registration{Command{
    "geoid",
    "the geoid undulation of a point in Greece",
    "Usage: korthal-cli geoid LATITUDE LONGITUDE [--settings FILE.INI]\n"
    "\n"
    "Prints the geoid undulation (the height of the geoid above the EGSA87\n"
    "ellipsoid, H = h - undulation) in metres with one decimal, from the built-in\n"
    "15' grid of Greece and the WGS84 -> EGSA87 datum shift.\n"
    "\n"
    "LATITUDE and LONGITUDE are on EGSA87, packed as DD.MMSSsss with '.' as the\n"
    "decimal point (37.54 is 37 deg 54'). The model covers 34deg <= latitude < 42deg\n"
    "and 19deg <= longitude < 29deg; outside it the command fails.\n"
    "\n"
    "Options:\n"
    "  --settings FILE.INI   take the WGS84 -> EGSA87 shift (keys GRS80DX, GRS80DY,\n"
    "                        GRS80DZ of section General) from a network settings\n"
    "                        file; default 200.2 -74.8 -246.0\n"
    "\n"
    "Exit status: 0 printed, 1 outside the model, 2 wrong arguments.\n"
    "\n"
    "Example:\n"
    "  korthal-cli geoid 37.54 23.42      prints 7.3\n",
    run}};

}  // namespace

}  // namespace korthal::cli
