// Rows of points pasted into the point tables.

#include "DocumentTestSupport.h"

#include "project/PastedRows.h"

#include <cstdio>

namespace korthal::testing {
namespace {

// The number as a spreadsheet writes it: Greek (1.234.567,891), C with
// grouping (1,234,567.891) or plain C (1234567.891).
std::string written(double v, const char* style)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    std::string plain = buf;
    if (std::string(style) == "plain") return plain;
    const bool greek = std::string(style) == "greek";
    const std::size_t dot = plain.find('.');
    std::string whole = plain.substr(0, dot), grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += greek ? '.' : ',';
        grouped += whole[i];
    }
    return grouped + (greek ? ',' : '.') + plain.substr(dot + 1);
}

class PasteTest : public DocumentTest {};

// Blocks in each separator convention, with and without names: every good
// row is entered by the rules (the reference point recognised, the detail
// point derived with its undulation), the bad ones are listed with the
// rule's reason and leave nothing behind; undo takes back exactly the rows
// of the paste.
TEST_F(PasteTest, RowsGoThroughTheEntryRulesAndComeBackOutInOneStep)
{
    std::mt19937_64 gen(21);
    const auto trig = trigPoints(&gen);
    for (const auto& p : trig) addReference(p);
    // Two of the network measured before the paste.
    for (std::size_t i = 0; i < 2; ++i) addMeasured(trig[i].name, trig[i].X, trig[i].Y, trig[i].Z);
    doc.RecomputeNetwork();
    const auto d = demo::surveyPoint("Κ7", 392500.0, 4386500.0, 210.0);

    struct Case {
        const char* style;
        char sep;
        bool names;
    };
    for (const Case& c : {Case{"greek", '\t', true}, Case{"c", '\t', false}, Case{"plain", ';', true},
                          Case{"greek", ';', false}}) {
        SCOPED_TRACE(std::string(c.style) + (c.sep == '\t' ? " tab" : " semicolon") +
                     (c.names ? " names" : ""));
        dialogs.clear();
        const int before = doc.GPS().recordCount();
        const auto row = [&](const std::string& name, double X, double Y, double Z) {
            std::string s = c.names ? name + c.sep : std::string();
            return s + written(X, c.style) + c.sep + written(Y, c.style) + c.sep + written(Z, c.style);
        };
        std::string text = row(trig[2].name, trig[2].X, trig[2].Y, trig[2].Z) + "\r\n" +
                           row("Α1", 4100000, 1900000, 4000000) + "\r\n" +  // X below its limit
                           "\r\n" +                                         // a blank line
                           row(d.name, d.X, d.Y, d.Z) + c.sep + "\r\n" +    // a trailing separator
                           "Κ8" + std::string(1, c.sep) + "44x" + c.sep + "1" + c.sep + "2" +
                           c.sep + "3\n";  // one cell too many
        const PasteResult r = pastePointRows(doc, true, text);
        EXPECT_EQ(r.rows, 4);
        ASSERT_EQ(r.ids.size(), 2u);
        ASSERT_EQ(r.rejected.size(), 2u);
        EXPECT_EQ(r.rejected[0].first, 2);
        EXPECT_EQ(r.rejected[0].second, "Ελάχιστη επιτρεπόμενη τμή : 4.151.000,0000");
        EXPECT_EQ(r.rejected[1].first, 5);
        EXPECT_NE(r.rejected[1].second.find("βρέθηκαν"), std::string::npos);
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_NE(dialogs.messages()[0].find("γραμμή 5"), std::string::npos);
        EXPECT_EQ(doc.GPS().recordCount(), before + 2);
        EXPECT_TRUE(doc.NetworkModified);

        MemTable& g = doc.GPS();
        const Rec ref = g.findID(r.ids[0]), det = g.findID(r.ids[1]);
        // The texts carry 4 decimals.
        EXPECT_NEAR(g.getFloat(ref, gps::X), trig[2].X, 5.1e-5);
        EXPECT_NEAR(g.getFloat(det, gps::Z), d.Z, 5.1e-5);
        EXPECT_EQ(g.getBoolean(ref, gps::detailPoint), !c.names);
        EXPECT_EQ(g.getString(det, gps::Name), c.names ? d.name : "");
        EXPECT_NEAR(g.getFloat(det, gps::apoxh), d.apoxh, 0.051);
        EXPECT_NEAR(g.getFloat(det, gps::E), 392500.0, 0.5);
        if (c.names) {
            EXPECT_EQ(doc.residuals().size(), 3u);  // the pasted reference point counts
        }

        EXPECT_EQ(undoPastedRows(doc, true, r.ids), 2);
        EXPECT_EQ(doc.GPS().recordCount(), before);
        EXPECT_EQ(doc.residuals().size(), 2u);
        EXPECT_EQ(undoPastedRows(doc, true, r.ids), 0);  // nothing twice
    }
}

// The reference table takes name, E, N, H and derives φ, λ, h.
TEST_F(PasteTest, ReferenceRowsDeriveTheirEllipsoidalCoordinates)
{
    const PasteResult r = pastePointRows(doc, false,
                                         "Σ1\t391.234,5678\t4.385.000,25\t412,3\n"
                                         "Σ2\t30000\t4385000\t100\n");
    ASSERT_EQ(r.ids.size(), 1u);
    ASSERT_EQ(r.rejected.size(), 1u);
    EXPECT_EQ(r.rejected[0].second, "Ελάχιστη επιτρεπόμενη τμή : 38.039,0000");
    const MemTable& y = doc.GYS();
    const Rec s1 = y.findID(r.ids[0]);
    EXPECT_EQ(y.getString(s1, gys::Name), "Σ1");
    EXPECT_DOUBLE_EQ(y.getFloat(s1, gys::E), 391234.5678);
    EXPECT_DOUBLE_EQ(y.getFloat(s1, gys::N), 4385000.25);
    EXPECT_NE(y.getFloat(s1, gys::f), 0.0);
    EXPECT_EQ(y.recordCount(), 1);
    EXPECT_TRUE(doc.ReferenceModified);
}

}  // namespace
}  // namespace korthal::testing
