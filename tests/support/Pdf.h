#pragma once
// Reading PDF files back with poppler's tools (pdftotext, pdfinfo), as a
// user's viewer would show them.

#include "support/Files.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace korthal::test {

// Standard output of a shell command.
inline std::string commandOutput(const std::string& cmd)
{
    std::string out;
    if (std::FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// The text of pages first..last (0: to the end), with the layout kept.
inline std::string pdfText(const std::string& pdf, int first = 1, int last = 0)
{
    std::string cmd = "pdftotext -layout -enc UTF-8 -f " + std::to_string(first);
    if (last > 0)
        cmd += " -l " + std::to_string(last);
    return commandOutput(cmd + " \"" + pdf + "\" - 2>/dev/null");
}

// What pdfinfo says of the file ("Pages:", "Page size:", ...).
inline std::string pdfInfo(const std::string& pdf)
{
    return commandOutput("pdfinfo \"" + pdf + "\" 2>/dev/null");
}

// The number of pages; 0 when the file is no PDF.
inline int pdfPages(const std::string& pdf)
{
    const std::string info = pdfInfo(pdf);
    const auto at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

// The largest right edge (points) of any word on the pages, from
// pdftotext's word boxes.
inline double pdfRightmostWord(const std::string& pdf)
{
    const std::string html = commandOutput("pdftotext -bbox \"" + pdf + "\" - 2>/dev/null");
    double right = 0;
    for (std::size_t at = html.find("xMax=\""); at != std::string::npos;
         at = html.find("xMax=\"", at + 1))
        right = std::max(right, std::stod(html.substr(at + 6)));
    return right;
}

}  // namespace korthal::test
