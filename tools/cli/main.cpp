// korthal-cli: Korthal's computations for scripts and batches.

#include "packaging/BuildVersion.h"
#include "tools/cli/Command.h"

#include <algorithm>
#include <clocale>
#include <iostream>

namespace korthal::cli {

std::vector<Command>& commands()
{
    static std::vector<Command> list;
    return list;
}

bool wantsHelp(const std::vector<std::string>& args)
{
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace korthal::cli

namespace {

void overview(std::ostream& out)
{
    auto list = korthal::cli::commands();
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    out << "Usage: korthal-cli COMMAND [options]\n\n"
           "Korthal's geodetic computations for scripts: WGS84, EGSA87 (GRS80, TM87)\n"
           "and HATT coordinates, the geoid model, network files and RINEX files.\n\n"
           "Commands:\n";
    // The summaries stand in one column, two spaces past the longest name.
    std::size_t width = 0;
    for (const auto& c : list)
        width = std::max(width, c.name.size());
    for (const auto& c : list)
        out << "  " << c.name << std::string(width + 2 - c.name.size(), ' ') << c.summary << '\n';
    out << "\nOptions:\n"
           "  -h, --help   print this overview and exit\n"
           "  --version    print the version and exit\n"
           "\n\"korthal-cli COMMAND --help\" describes each command.\n";
}

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        overview(std::cerr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        overview(std::cout);
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "korthal-cli " << korthal::buildVersion() << '\n';
        return 0;
    }
    for (const auto& c : korthal::cli::commands()) {
        if (c.name == args[0]) {
            std::vector<std::string> rest(args.begin() + 1, args.end());
            if (korthal::cli::wantsHelp(rest)) {
                std::cout << c.help;
                return 0;
            }
            return c.run(rest);
        }
    }
    std::cerr << "korthal-cli: unknown command \"" << args[0] << "\"\n\n";
    overview(std::cerr);
    return 2;
}
