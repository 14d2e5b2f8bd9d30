// Names and descriptions typed with characters the files' code page cannot
// hold are refused at once, instead of reaching the file as '?'.

#include "DocumentTestSupport.h"

#include "table/TableFile.h"

using namespace korthal;
using namespace korthal::testing;

namespace {

class TextEntryCodePage : public DocumentTest {};

}  // namespace

TEST_F(TextEntryCodePage, NetworkNameAndDescriptionKeepTheirValueAndTheMessageNamesTheCharacters)
{
    const long long id = addMeasured("Κ1", 4600000, 2000000, 3900000);
    MemTable& g = doc.GPS();
    g.edit();
    ASSERT_TRUE(g.setText(gps::Perigrafh, "Πάσσαλος"));
    g.post();
    dialogs.clear();

    g.edit();
    g.setText(gps::Name, "Κ☃2");
    g.setText(gps::Perigrafh, "Φρεάτιο 😀 ☃");
    g.post();
    const Rec r = g.findID(id);
    EXPECT_EQ(g.getString(r, gps::Name), "Κ1");
    EXPECT_EQ(g.getString(r, gps::Perigrafh), "Πάσσαλος");
    const auto messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("☃"), std::string::npos);
    EXPECT_NE(messages[1].find("😀 ☃"), std::string::npos);
    EXPECT_NE(messages[1].find("1253"), std::string::npos);

    // Greek, the euro sign and broken bytes that came from a file are fine
    // or refused by the same rule.
    dialogs.clear();
    g.edit();
    g.setText(gps::Perigrafh, "Όριο € 2");
    g.setText(gps::Name, "K\xC2" "A");
    g.post();
    EXPECT_EQ(g.getString(r, gps::Perigrafh), "Όριο € 2");
    EXPECT_EQ(g.getString(r, gps::Name), "Κ1");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_NE(dialogs.messages()[0].find("<C2>"), std::string::npos);
}

TEST_F(TextEntryCodePage, ReferenceTextsFollowTheSameRuleAndTheSavedFileHoldsWhatWasShown)
{
    MemTable& y = doc.GYS();
    y.append();
    ASSERT_TRUE(y.setText(gys::Name, "Τ12"));
    y.setText(gys::Perigrafh, "βάθρο ✓");
    y.post();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    y.edit();
    y.setText(gys::Name, "Τ12 ✓");
    y.setText(gys::Perigrafh, "βάθρο");
    y.post();
    ASSERT_EQ(dialogs.messages().size(), 2u);

    const std::string path = (dir / "EGSA87").string();
    ASSERT_TRUE(SaveToFile(y, path).ok);
    MemTable back("GYS");
    defineGYS(back);
    ASSERT_TRUE(LoadFromFile(back, path).ok());
    ASSERT_EQ(back.recordCount(), 1);
    EXPECT_EQ(back.getString(back.firstStored(), gys::Name), "Τ12");
    EXPECT_EQ(back.getString(back.firstStored(), gys::Perigrafh), "βάθρο");
}
