// Master files no one should send: the chain must end with the right message, never crash and
// never write outside the data folder.
#include "ConversionFixture.h"

#include <set>

namespace kelvarin::test {
namespace {

using namespace std::string_literals;

class BadInputTest : public ConversionFixture {
protected:
    // Names in the program folder and its data folder after the run.
    std::set<std::string> allNames() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_root.path()))
            names.insert(std::filesystem::relative(entry.path(), m_root.path()).string());
        return names;
    }

    void expectOnlyDataFolderFiles() const {
        const std::set<std::string> allowed = {
            "Data",           "Data/AB.MST",     "Data/TEMP.DAT",    "Data/TempAB.MST",
            "Data/AGENT.DAT", "Data/MASTER.DAT", "Data/ACCTYPE.DAT", "Data/ACC_DETA.DAT",
            "Data/BANK.COL"};
        for (const std::string& name : allNames())
            EXPECT_TRUE(allowed.count(name)) << name;
    }
};

TEST_F(BadInputTest, BinaryBytesAndNulsConvertWithoutCrashing) {
    std::string master = "H\x01\xFF,\x00\x80\r\n"s;
    for (int b = 0; b < 256; ++b)
        master += static_cast<char>(b);
    master += "\r\nT\x00zz,N\xFE,K,S,,1,2,3,4,5,tail\x00more\r\n"s;
    putData("AB.MST", master);
    // The 256 bytes hold an LF, so they make two account lines; neither has a number as
    // value 10.
    EXPECT_FALSE(runChain("AB.MST"));
    expectOneBox("Type mismatch", MsgIcon::Information, kAppTitle);
    expectOnlyDataFolderFiles();
}

TEST_F(BadInputTest, NulInsideValuesEndsThem) {
    putData("AB.MST", "H\0x,Y\r\nT\0zz,N,K,S,,1,2,3,4,5,tail\0more\r\n"s);
    ASSERT_TRUE(runChain("AB.MST"));
    EXPECT_EQ(dataBytes("AGENT.DAT").substr(0, 2), "H" + nul(1));
    EXPECT_EQ(dataBytes("MASTER.DAT").substr(52, 2), "T" + nul(1));
    EXPECT_EQ(dataBytes("ACC_DETA.DAT").substr(42, 5), "tail" + nul(1));
    expectOnlyDataFolderFiles();
}

TEST_F(BadInputTest, MegabyteLinesAreCutToTheirColumns) {
    const std::string huge(1 << 20, 'Q');
    putData("AB.MST", huge + "," + huge + "\r\n" + huge + ",N,K,S,,1,2,3,4,5," + huge + "\r\n");
    ASSERT_TRUE(runChain("AB.MST"));
    EXPECT_EQ(dataBytes("AGENT.DAT").substr(0, 26), std::string(24, 'Q') + nul(1) + sp(1));
    EXPECT_EQ(dataBytes("ACC_DETA.DAT").substr(42, 25), std::string(24, 'Q') + nul(1));
    EXPECT_EQ(std::filesystem::file_size(data("MASTER.DAT")), 128u);
}

// A master file written with CR alone after each line (no LF anywhere) has its lines all the
// same: the header and both accounts.
TEST_F(BadInputTest, CarriageReturnOnlyLineEndsEndTheLines) {
    putData("AB.MST", "H1,H2\rT,N,K1,S1,,1,2,3,4,5,x\rT,N,K2,S2,,1,2,3,4,5,x\r");
    ASSERT_TRUE(runChain("AB.MST"));
    EXPECT_EQ(dataBytes("AGENT.DAT").substr(0, 3), "H1" + nul(1));
    EXPECT_EQ(dataBytes("AGENT.DAT").substr(42, 9), "H2" + nul(1) + sp(6));
    const std::string master = dataBytes("MASTER.DAT");
    ASSERT_EQ(master.size(), 256u);
    EXPECT_EQ(master.substr(0, 21), "K1" + nul(1) + sp(17) + "S");
    EXPECT_EQ(master.substr(128, 21), "K2" + nul(1) + sp(17) + "S");
    expectOnlyDataFolderFiles();
}

TEST_F(BadInputTest, NoHeaderNoAccountLine) {
    putData("AB.MST", "T,N,K,S,,1,2,3,4,5,x\r\n");
    ASSERT_TRUE(runChain("AB.MST"));
    EXPECT_EQ(dataBytes("AGENT.DAT").substr(0, 2), "T" + nul(1));
    EXPECT_EQ(dataBytes("MASTER.DAT"), "");

    putData("AB.MST", "");
    boxes.shown.clear();
    EXPECT_FALSE(runChain("AB.MST"));
    // TempFileCreation, CommaFileCreation and StCvrt each tell what stopped them.
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].text, "Input past end of file");
    EXPECT_EQ(boxes.shown[1].text, " No Data in the file");
    EXPECT_EQ(boxes.shown[2].text, " No Data in the file");
    expectOnlyDataFolderFiles();
}

TEST_F(BadInputTest, MoreThan32767AccountLinesAreLeftUnsortedThenRefused) {
    std::string master = "H\r\n";
    for (int i = 40000; i > 0; --i)
        master += "T,N,K," + std::to_string(100000 + i) + ",,1,2,3,4,5,x\r\n";
    putData("AB.MST", master);
    EXPECT_FALSE(runChain("AB.MST"));
    expectOneBox("Overflow", MsgIcon::Information, kAppTitle);
    // Every line reached TEMP.DAT, which the sort leaves in the master file's order; the
    // terminal files stop at 32,767 records.
    const std::string temp = dataBytes("TEMP.DAT");
    ASSERT_EQ(temp.size(), 32u + 40000u * 166u);
    EXPECT_EQ(temp.substr(32 + 58, 6), "140000");
    EXPECT_EQ(temp.substr(32 + 39999 * 166 + 58, 6), "100001");
    EXPECT_FALSE(exists("TEMP1234.DAT"));
    EXPECT_EQ(std::filesystem::file_size(data("MASTER.DAT")), 32767u * 128u);
    EXPECT_EQ(dataBytes("MASTER.DAT").substr(20, 7), "140000" + nul(1));
    EXPECT_TRUE(exists("TempAB.MST"));
    expectOnlyDataFolderFiles();
}

TEST_F(BadInputTest, LinksInTheDataFolderAreReplacedNotFollowed) {
    const auto outside = m_root.path() / "outside";
    for (const char* name : {"TEMP.DAT", "TEMP1234.DAT", "TempAB.MST", "AGENT.DAT", "MASTER.DAT",
                             "ACCTYPE.DAT", "ACC_DETA.DAT", "BANK.COL"})
        std::filesystem::create_symlink(outside / name, data(name));
    putData("AB.MST", "H\r\nT,N,K,S,,1,2,3,4,5,x\r\nT,N,K,A,,1,2,3,4,5,x\r\n");
    ASSERT_TRUE(runChain("AB.MST"));
    EXPECT_FALSE(std::filesystem::exists(outside));
    EXPECT_EQ(std::filesystem::file_size(data("MASTER.DAT")), 256u);
    EXPECT_FALSE(std::filesystem::is_symlink(data("TEMP.DAT")));
    expectOnlyDataFolderFiles();
}

TEST_F(BadInputTest, FileNamesWithAFolderAreRefused) {
    putData("AB.MST", "H\r\n");
    putData("TEMP.DAT", "old");
    conversion.sourceFileName = "../AB.MST";
    conversion.TempFileCreation("../AB.MST");
    // The old TEMP.DAT is gone before the name is looked at, as on every run.
    EXPECT_FALSE(exists("TEMP.DAT"));
    conversion.CommaFileCreation("../AB.MST");
    EXPECT_FALSE(conversion.StCvrt("Temp../AB.MST"));
    ASSERT_EQ(boxes.shown.size(), 3u);
    for (const auto& box : boxes.shown)
        EXPECT_EQ(box.text.rfind("Bad file name or number", 0), 0u) << box.text;
    expectOnlyDataFolderFiles();
}

} // namespace
} // namespace kelvarin::test
