// Writes the C++ source that builds the data of the Greek reference systems
// into the geodesy library (geodesy/GreekSystemsData.h), from the published
// files in data/greek-systems:
//   east.grd, north.grd    the HEPOS correction grid, read by the program's
//                          own reader and stored in hundredths of a centimetre;
//   hattblocks15.json      the HATT sheets: name, number, centre, outline and
//                          forward polynomial;
//   reverse_coeffs.csv     the published inverse polynomials, one line per
//                          sheet in the order of the JSON array.
// It refuses (exit status 1, the reason on standard error) data that would
// not be stored exactly or that do not fit together: a grid value with more
// than two decimals of a centimetre, two grids of different nodes, a sheet
// whose inverse line belongs to another number, or whose published inverse
// misses its forward by more than a millimetre at the point x 1013, y 1500.
//
// Usage: make_greek_data DATA_FOLDER OUTPUT.cpp

#include "geodesy/CorrectionGrid.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& what)
{
    std::cerr << "make_greek_data: " << what << '\n';
    std::exit(1);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Just enough JSON for the sheet table: objects, arrays, strings, numbers.
struct Json {
    enum Kind { Null, Number, String, Array, Object } kind = Null;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const
    {
        const auto it = members.find(key);
        if (kind != Object || it == members.end())
            fail("the sheet table lacks \"" + key + "\"");
        return it->second;
    }
    double num() const
    {
        if (kind != Number)
            fail("the sheet table has text where a number belongs");
        return number;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& s) : s_(s) {}
    Json document()
    {
        Json v = value();
        blanks();
        if (at_ != s_.size())
            fail("the sheet table goes on after its end");
        return v;
    }

private:
    void blanks()
    {
        while (at_ < s_.size() &&
               (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t'))
            ++at_;
    }
    char peek()
    {
        blanks();
        if (at_ >= s_.size())
            fail("the sheet table ends early");
        return s_[at_];
    }
    void expect(char c)
    {
        if (peek() != c)
            fail(std::string("the sheet table lacks '") + c + "' at byte " + std::to_string(at_));
        ++at_;
    }
    std::string string()
    {
        expect('"');
        std::string out;
        while (at_ < s_.size() && s_[at_] != '"') {
            if (s_[at_] == '\\')
                fail("the sheet table has an escape in a text (not expected)");
            out += s_[at_++];
        }
        expect('"');
        return out;
    }
    Json value()
    {
        Json v;
        const char c = peek();
        if (c == '{') {
            v.kind = Json::Object;
            ++at_;
            if (peek() == '}') {
                ++at_;
                return v;
            }
            for (;;) {
                std::string key = string();
                expect(':');
                v.members[key] = value();
                if (peek() == ',') {
                    ++at_;
                    continue;
                }
                expect('}');
                return v;
            }
        }
        if (c == '[') {
            v.kind = Json::Array;
            ++at_;
            if (peek() == ']') {
                ++at_;
                return v;
            }
            for (;;) {
                v.items.push_back(value());
                if (peek() == ',') {
                    ++at_;
                    continue;
                }
                expect(']');
                return v;
            }
        }
        if (c == '"') {
            v.kind = Json::String;
            v.text = string();
            return v;
        }
        const char* begin = s_.c_str() + at_;
        char* end = nullptr;
        v.number = std::strtod(begin, &end);
        if (end == begin)
            fail("the sheet table has something unreadable at byte " + std::to_string(at_));
        v.kind = Json::Number;
        at_ += static_cast<std::size_t>(end - begin);
        return v;
    }

    const std::string& s_;
    std::size_t at_ = 0;
};

std::string real(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// A C string literal of UTF-8 text, every byte beyond ASCII as an octal escape.
std::string literal(const std::string& s)
{
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 || c == '"' || c == '\\' || c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

korthal::CorrectionGrid readGrid(const std::string& path)
{
    korthal::GridReadError error;
    const auto grid = korthal::parseCorrectionGrid(readFile(path), error);
    if (!grid)
        fail(path + ": line " + std::to_string(error.line) + ": " + error.reason);
    return *grid;
}

void writeGrid(std::ostream& out, const char* name, const korthal::CorrectionGrid& g)
{
    out << "const std::int16_t " << name << "[] = {";
    for (int r = 0; r < g.rows(); ++r) {
        out << '\n';
        for (int c = 0; c < g.columns(); ++c) {
            const double v = g.node(r, c) * 10000;  // m to hundredths of a centimetre
            const double n = std::round(v);
            if (std::fabs(v - n) > 1e-6 || n < -32768 || n > 32767)
                fail(std::string(name) + ": the value at row " + std::to_string(r + 1) +
                     ", column " + std::to_string(c + 1) +
                     " does not fit two decimals of a centimetre");
            out << static_cast<int>(n) << ',';
        }
    }
    out << "\n};\n";
}

struct Inverse {
    int number;
    std::string name;
    double C[5], D[5];
};

std::vector<Inverse> readInverses(const std::string& path)
{
    std::vector<Inverse> out;
    std::istringstream in(readFile(path));
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string v; std::getline(fields, v, ',');)
            f.push_back(v);
        if (f.size() != 12)
            fail(path + ": line " + std::to_string(lineNumber) + " has not 12 fields");
        Inverse inv{std::atoi(f[0].c_str()), f[1], {}, {}};
        for (int k = 0; k < 5; ++k) {
            inv.C[k] = std::strtod(f[2 + static_cast<std::size_t>(k)].c_str(), nullptr);
            inv.D[k] = std::strtod(f[7 + static_cast<std::size_t>(k)].c_str(), nullptr);
        }
        out.push_back(inv);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        fail("usage: make_greek_data DATA_FOLDER OUTPUT.cpp");
    const std::string dir = argv[1];
    const korthal::CorrectionGrid east = readGrid(dir + "/east.grd");
    const korthal::CorrectionGrid north = readGrid(dir + "/north.grd");
    if (!east.sameLayout(north))
        fail("east.grd and north.grd have different nodes");

    const std::string jsonText = readFile(dir + "/hattblocks15.json");
    const Json sheets = JsonReader(jsonText).document();
    const std::vector<Inverse> inverses = readInverses(dir + "/reverse_coeffs.csv");
    if (sheets.kind != Json::Array || sheets.items.size() != inverses.size())
        fail("the sheet table and the inverse table have different lengths");

    std::ostringstream out;
    out << "// Generated at build time from data/greek-systems by make_greek_data; do not edit.\n"
           "#include \"geodesy/GreekSystemsData.h\"\n\n"
           "namespace korthal::embedded {\n\n";
    out << "const GridLayout kHeposGridLayout = {" << east.rows() << ", " << east.columns() << ", "
        << real(east.spacing()) << ", " << real(east.north0()) << ", " << real(east.east0())
        << "};\n";
    writeGrid(out, "kHeposEast", east);
    writeGrid(out, "kHeposNorth", north);

    std::ostringstream records, vertices;
    int vertexCount = 0;
    for (std::size_t s = 0; s < sheets.items.size(); ++s) {
        const Json& sheet = sheets.items[s];
        const Inverse& inv = inverses[s];
        const int number = static_cast<int>(sheet["okxe_id"].num());
        if (inv.number != number)
            fail("sheet " + std::to_string(s + 1) + " (" + sheet["name"].text + ") has number " +
                 std::to_string(number) + ", its inverse line " + std::to_string(inv.number));
        double A[6], B[6];
        const Json& k = sheet["okxe_coeffs"];
        for (int i = 0; i < 6; ++i) {
            A[i] = k["A" + std::to_string(i)].num();
            B[i] = k["B" + std::to_string(i)].num();
        }
        // The published inverse against the forward at the checking point.
        const double x = 1013, y = 1500;
        const double E = A[0] + A[1] * x + A[2] * y + A[3] * x * x + A[4] * y * y + A[5] * x * y;
        const double N = B[0] + B[1] * x + B[2] * y + B[3] * x * x + B[4] * y * y + B[5] * x * y;
        const double dE = E - A[0], dN = N - B[0];
        const double bx = inv.C[0] * dE + inv.C[1] * dN + inv.C[2] * dE * dE + inv.C[3] * dN * dN +
                          inv.C[4] * dE * dN;
        const double by = inv.D[0] * dE + inv.D[1] * dN + inv.D[2] * dE * dE + inv.D[3] * dN * dN +
                          inv.D[4] * dE * dN;
        if (std::hypot(bx - x, by - y) > 0.001)
            fail("the inverse of sheet " + std::to_string(s + 1) + " (" + sheet["name"].text +
                 ") misses its forward by " + real(std::hypot(bx - x, by - y)) + " m");

        // The outline's ring, without the repeated first vertex.
        const Json& ring = sheet["geom"]["coordinates"].items.at(0);
        std::size_t n = ring.items.size();
        if (n > 1 && ring.items[0].items.at(0).num() == ring.items[n - 1].items.at(0).num() &&
            ring.items[0].items.at(1).num() == ring.items[n - 1].items.at(1).num())
            --n;
        if (n < 3)
            fail("sheet " + std::to_string(s + 1) + " has no outline");
        for (std::size_t v = 0; v < n; ++v)
            vertices << real(ring.items[v].items.at(0).num()) << ", "
                     << real(ring.items[v].items.at(1).num()) << ",\n";

        records << "    {" << static_cast<int>(sheet["id"].num()) << ", " << number << ", "
                << literal(sheet["name"].text) << ", " << real(sheet["cx"].num()) << ", "
                << real(sheet["cy"].num()) << ", " << vertexCount << ", " << n << ",\n     {";
        for (int i = 0; i < 6; ++i)
            records << real(A[i]) << (i < 5 ? ", " : "}, {");
        for (int i = 0; i < 6; ++i)
            records << real(B[i]) << (i < 5 ? ", " : "},\n     {");
        for (int i = 0; i < 5; ++i)
            records << real(inv.C[i]) << (i < 4 ? ", " : "}, {");
        for (int i = 0; i < 5; ++i)
            records << real(inv.D[i]) << (i < 4 ? ", " : "}},\n");
        vertexCount += static_cast<int>(n);
    }
    out << "const double kHattOutlineVertices[] = {\n" << vertices.str() << "};\n";
    out << "const HattSheetRecord kHattSheetRecords[] = {\n" << records.str() << "};\n";
    out << "const int kHattSheetCount = " << sheets.items.size() << ";\n\n}\n";

    std::ofstream file(argv[2], std::ios::binary);
    file << out.str();
    if (!file.flush())
        fail(std::string("cannot write ") + argv[2]);
    return 0;
}
