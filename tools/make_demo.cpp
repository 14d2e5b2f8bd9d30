// Writes the demo working folder: the reference point file "EGSA87" with ten
// trigonometric points over about 10 km of Thessaly east of Larisa, the
// network file DEMO.WGS84 measuring six of them and thirty detail points, its
// settings file DEMO.INI (3-D method) and the same network as the point list
// DEMO.TXT. DEMO-TRUE.csv lists the true EGSA87 coordinates of the detail
// points, to compare with what the program derives.
//
// The WGS84 measurements come from the EGSA87 coordinates through the EPSG
// Greek Grid relation, not the program's default shift, plus centimetre
// noise: the estimated transformation is small but not the identity.
//
// Usage: make_demo FOLDER [SEED]

#include "project/Document.h"
#include "table/TableFile.h"
#include "project/TextOutput.h"
#include "network/PointTables.h"
#include "tools/DemoData.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

using namespace korthal;

namespace {

std::string fixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

const char* const kDescriptions[] = {
    "Τριγωνομετρικό βάθρο σε κορυφή λόφου",
    "Βάθρο δίπλα στο ξωκλήσι",
    "Πυλώνας σε ύψωμα, βόρεια του χωριού",
    "Βάθρο στο χείλος του πρανούς",
    "Τσιμεντένιο βάθρο στον αγρό",
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: make_demo FOLDER [SEED]\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    std::mt19937_64 gen(argc > 2 ? std::stoull(argv[2]) : 1987);
    std::uniform_real_distribution<double> u(0.0, 1.0);

    // The trigonometric points: spread over the square, heights 80..900 m.
    const double E0 = 388000, N0 = 4382000, side = 10000;
    std::vector<demo::SurveyPoint> trig;
    for (int i = 0; i < 10; ++i) {
        const double E = E0 + side * (0.1 + 0.8 * ((i % 4) + u(gen)) / 4);
        const double N = N0 + side * (0.1 + 0.8 * ((i / 4) * 1.3 + u(gen)) / 4);
        trig.push_back(demo::surveyPoint("Σ" + std::to_string(101 + i), std::round(E * 100) / 100,
                                         std::round(N * 100) / 100,
                                         std::round((80 + 820 * u(gen)) * 100) / 100, &gen));
    }
    std::vector<demo::SurveyPoint> detail;
    for (int i = 0; i < 30; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Κ%02d", i + 1);
        detail.push_back(demo::surveyPoint(name, E0 + side * u(gen), N0 + side * u(gen),
                                           90 + 510 * u(gen), &gen));
    }

    // The network settings: screen and output numbers with a decimal comma
    // and grouping point, point lists with a decimal point and no grouping,
    // the 3-D method.
    {
        std::ofstream ini(dir / "DEMO.INI", std::ios::binary);
        ini << "[Separators]\r\n";
        for (int k = 0; k < 3; ++k)
            ini << "Tseparator" << k << '=' << (k == 1 ? 3 : 0) << "\r\nDseparator" << k << '='
                << (k == 1 ? 0 : 1) << "\r\n";
        ini << "[Decimals]\r\n";
        for (int k = 0; k < 3; ++k)
            ini << "GPSdecimals" << k << "=3\r\nEGSAdecimals" << k << "=3\r\nParamsdecimals" << k
                << "=8\r\nDDmmssdecimals" << k << "=9\r\n";
        ini << "[General]\r\nmethod=2\r\nKind=0\r\nmaxDm=100\r\nmaxDe=100\r\nmaxDt=100\r\ncoords=0\r\n";
    }

    Document doc;
    MemTable& y = doc.GYS();
    for (std::size_t i = 0; i < trig.size(); ++i)
        demo::appendReference(y, trig[i], kDescriptions[i % 5]);
    if (SaveResult r = SaveToFile(y, (dir / "EGSA87").string()); !r) {
        std::cerr << r.error << '\n';
        return 1;
    }

    // The point list: six of the trigonometric points, then the details.
    std::vector<std::string> list;
    for (std::size_t i : {0u, 2u, 3u, 5u, 7u, 9u}) {
        const auto& p = trig[i];
        list.push_back(p.name + "," + fixed(p.X, 3) + "," + fixed(p.Y, 3) + "," + fixed(p.Z, 3));
    }
    for (const auto& p : detail)
        list.push_back(p.name + "," + fixed(p.X, 3) + "," + fixed(p.Y, 3) + "," + fixed(p.Z, 3));
    if (!writeTextLines((dir / "DEMO.TXT").string(), list)) {
        std::cerr << "cannot write DEMO.TXT\n";
        return 1;
    }

    // The network file: the list imported and transformed, as the program
    // would save it.
    doc.openNetwork((dir / "DEMO.TXT").string());
    if (SaveResult r = SaveToFile(doc.GPS(), (dir / "DEMO.WGS84").string()); !r) {
        std::cerr << r.error << '\n';
        return 1;
    }

    std::vector<std::string> truth{"name,E,N,H"};
    for (const auto& p : detail)
        truth.push_back(p.name + "," + fixed(p.E, 3) + "," + fixed(p.N, 3) + "," + fixed(p.H, 3));
    writeTextLines((dir / "DEMO-TRUE.csv").string(), truth);

    std::cout << "demo data written to " << dir.string() << ": " << trig.size()
              << " reference points, " << doc.GPS().recordCount() << " network points ("
              << doc.RefPointCount << " reference), RMS " << fixed(double(doc.RmsTotal), 4)
              << " m\n";
    return 0;
}
