// The terminal file conversion on comma work files written by hand: its failure rows, the
// files each leaves, and the members the golden chain does not reach.
#include "ConversionFixture.h"

#include <cctype>

namespace kelvarin::test {
namespace {

struct Line {
    std::string type = "T";
    std::string key = "K";
    std::string date = "01/02/2020";
    std::string n6 = "1";
    std::string n9 = "1";
    std::string typeNo = "1";
    std::string tail = "t";

    std::string text() const {
        return type + ",Name," + key + ",Sort," + date + "," + n6 + ",2,3," + n9 + "," + typeNo +
               "," + tail + "\r\n";
    }
};

class StCvrtTest : public ConversionFixture {
protected:
    void SetUp() override {
        ConversionFixture::SetUp();
        conversion.sourceFileName = "AB.MST";
    }

    bool convert(const std::string& workFile) {
        putData("TempAB.MST", workFile);
        return conversion.StCvrt("TempAB.MST");
    }

    std::size_t records(const std::string& name, std::size_t size) const {
        return exists(name) ? std::filesystem::file_size(data(name)) / size : 0;
    }

    void expectCounts(std::size_t accTypes, std::size_t details, std::size_t masters,
                      std::size_t banks) {
        EXPECT_EQ(records("ACCTYPE.DAT", 32), accTypes);
        EXPECT_EQ(records("ACC_DETA.DAT", 128), details);
        EXPECT_EQ(records("MASTER.DAT", 128), masters);
        EXPECT_EQ(records("BANK.COL", 128), banks);
    }
};

TEST_F(StCvrtTest, HeaderOnlyGivesAgentRecordAndFourEmptyFiles) {
    ASSERT_TRUE(convert("H1,H2,H3\r\n"));
    EXPECT_EQ(dataBytes("AGENT.DAT").size(), 64u);
    for (const char* name : {"MASTER.DAT", "ACCTYPE.DAT", "ACC_DETA.DAT", "BANK.COL"}) {
        EXPECT_TRUE(exists(name)) << name;
        EXPECT_EQ(dataBytes(name), "") << name;
    }
    EXPECT_FALSE(exists("TempAB.MST"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StCvrtTest, AgentCodeOfFourCharactersAndRefusalOfFive) {
    conversion.sourceFileName = "ABCD.MST";
    ASSERT_TRUE(convert("H\r\n"));
    EXPECT_EQ(dataBytes("AGENT.DAT").substr(26, 16), "ABCD" + nul(1) + sp(11));

    conversion.sourceFileName = "ABCDE.MST";
    EXPECT_FALSE(convert("H\r\n"));
    expectOneBox("Data Conversion Error! \r\nFilename should be less than four characters",
                 MsgIcon::Exclamation, kWindowTitle);
    EXPECT_EQ(focusMoves, 1);
    EXPECT_FALSE(exists("AGENT.DAT"));
    EXPECT_TRUE(exists("TempAB.MST"));
}

TEST_F(StCvrtTest, AccountTypesInOrderOfFirstOccurrenceCaseCounts) {
    ASSERT_TRUE(convert("H\r\n" + Line{.type = "X"}.text() + Line{.type = "Y"}.text() +
                        Line{.type = "X"}.text() + Line{.type = "x"}.text()));
    const std::string types = dataBytes("ACCTYPE.DAT");
    ASSERT_EQ(types.size(), 3u * 32u);
    EXPECT_EQ(types.substr(0, 16), "X" + nul(1) + sp(14));
    EXPECT_EQ(types.substr(32, 16), "Y" + nul(1) + sp(14));
    EXPECT_EQ(types.substr(64, 16), "x" + nul(1) + sp(14));
    const std::string details = dataBytes("ACC_DETA.DAT");
    ASSERT_EQ(details.size(), 4u * 128u);
    EXPECT_EQ(details.substr(102, 20), "X" + nul(2) + sp(17));
    EXPECT_EQ(details.substr(128 + 102, 20), "Y" + nul(2) + sp(17));
    EXPECT_EQ(details.substr(256 + 102, 20), "X" + nul(2) + sp(17));
}

TEST_F(StCvrtTest, LongTypeCodeLeadingBlanksAndTheTailAfterValueTen) {
    const std::string tail = " a,b," + std::string(60, 'c') + " ";
    ASSERT_TRUE(convert("H\r\n" +
                        Line{.type = "ABCDEFGHIJKLMNOPQRST", .key = " K7", .tail = tail}.text() +
                        Line{.type = "ABCDEFGHIJKLMNOPxyz"}.text()));
    const std::string master = dataBytes("MASTER.DAT");
    EXPECT_EQ(master.substr(52, 16), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(master.substr(0, 20), " K7" + nul(1) + sp(16));
    const std::string detail = dataBytes("ACC_DETA.DAT");
    EXPECT_EQ(detail.substr(0, 20), "K7" + nul(1) + sp(17));
    EXPECT_EQ(detail.substr(42, 50), "a,b," + std::string(46, 'c'));
    EXPECT_EQ(detail.substr(102, 20), "ABCDEFGHIJKLMNOP" + nul(1) + sp(3));
    EXPECT_EQ(dataBytes("ACCTYPE.DAT").size(), 32u);
}

TEST_F(StCvrtTest, EmptyDateOnTheFirstLineIsZeroThenCarriesTheLastDate) {
    ASSERT_TRUE(convert("H\r\n" + Line{.date = ""}.text() + Line{.date = "31-12-1999"}.text() +
                        Line{.date = ""}.text()));
    const std::string bank = dataBytes("BANK.COL");
    ASSERT_EQ(bank.size(), 3u * 128u);
    EXPECT_EQ(bank.substr(2, 4), nul(4));
    EXPECT_EQ(bank.substr(128 + 2, 4), hexBytes("1F 0C CF 07"));
    EXPECT_EQ(bank.substr(256 + 2, 4), hexBytes("1F 0C CF 07"));
}

TEST_F(StCvrtTest, MissingWorkFileAndEmptyWorkFile) {
    putData("MASTER.DAT", "stale");
    putData("BANK.COL", "stale");
    EXPECT_FALSE(conversion.StCvrt("TempAB.MST"));
    expectOneBox(" No Data in the file", MsgIcon::Information, kAppTitle);
    EXPECT_FALSE(exists("MASTER.DAT"));
    EXPECT_FALSE(exists("BANK.COL"));

    boxes.shown.clear();
    EXPECT_FALSE(convert(""));
    expectOneBox("Input past end of file", MsgIcon::Information, kAppTitle);
    for (const char* name : {"AGENT.DAT", "MASTER.DAT", "ACCTYPE.DAT", "ACC_DETA.DAT", "BANK.COL"})
        EXPECT_FALSE(exists(name)) << name;
    EXPECT_TRUE(exists("TempAB.MST"));
}

TEST_F(StCvrtTest, WithoutAProgramFolderThePathIsNotFound) {
    putData("TempAB.MST", "H\r\n");
    mdlLoadSetup::ResetSettings();
    EXPECT_FALSE(conversion.StCvrt("TempAB.MST"));
    conversion.TempFileCreation("AB.MST");
    conversion.SortTempFile();
    conversion.CommaFileCreation("AB.MST");
    ASSERT_EQ(boxes.shown.size(), 3u);
    for (const auto& box : boxes.shown) {
        EXPECT_EQ(box.text, "cvrt path Not found");
        EXPECT_EQ(box.icon, MsgIcon::Exclamation);
        EXPECT_EQ(box.title, kAppTitle);
    }
    EXPECT_TRUE(exists("TempAB.MST"));
    EXPECT_FALSE(exists("AGENT.DAT"));
}

TEST_F(StCvrtTest, NameWithoutDotIsSelectFile) {
    conversion.sourceFileName = "AB";
    EXPECT_FALSE(convert("H\r\n"));
    expectOneBox("     Select  file ", MsgIcon::Exclamation, kAppTitle);
    EXPECT_FALSE(exists("AGENT.DAT"));
}

struct FailureRow {
    const char* what;
    Line failing;
    const char* message;
    // Records of the failing line that stand: in ACCTYPE.DAT, ACC_DETA.DAT and MASTER.DAT, and
    // in BANK.COL.
    bool upToMaster;
};

// Test names show the row's name instead of its bytes.
void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.what;
}

class StCvrtFailureTest : public StCvrtTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(StCvrtFailureTest, FailingLineStopsTheRunAndKeepsTheWorkFile) {
    const FailureRow& row = GetParam();
    Line failing = row.failing;
    failing.type = "NEW";
    EXPECT_FALSE(convert("H\r\n" + Line{}.text() + Line{.key = "K2"}.text() + failing.text() +
                         Line{.key = "K4"}.text()));
    expectOneBox(row.message, MsgIcon::Information, kAppTitle);
    EXPECT_EQ(dataBytes("AGENT.DAT").size(), 64u);
    const std::size_t standing = row.upToMaster ? 1 : 0;
    expectCounts(1 + standing, 2 + standing, 2 + standing, 2);
    EXPECT_TRUE(exists("TempAB.MST"));

    // A second run starts afresh.
    boxes.shown.clear();
    ASSERT_TRUE(convert("H\r\n" + Line{}.text()));
    expectCounts(1, 1, 1, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StCvrtFailureTest,
    ::testing::Values(
        FailureRow{"typeNo empty", Line{.typeNo = ""}, "Type mismatch", false},
        FailureRow{"typeNo 256", Line{.typeNo = "256"}, "Overflow", false},
        FailureRow{"typeNo text", Line{.typeNo = "A"}, "Type mismatch", false},
        FailureRow{"value 6 empty", Line{.n6 = ""}, "Type mismatch", true},
        FailureRow{"value 9 too big", Line{.n9 = "3000000000"}, "Overflow", true},
        FailureRow{"day not a number", Line{.date = "xx/01/2020"}, "Type mismatch", true},
        FailureRow{"short date", Line{.date = "01/02"}, "Type mismatch", true},
        FailureRow{"negative day", Line{.date = "-1/02/2020"}, "Overflow", true},
        FailureRow{"year not a number", Line{.date = "01/02/20x0"}, "Type mismatch", true}),
    [](const ::testing::TestParamInfo<FailureRow>& row) {
        std::string name = row.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(StCvrtTest, BlankDataLineIsTypeMismatch) {
    EXPECT_FALSE(convert("H\r\n" + Line{}.text() + "\r\n" + Line{}.text()));
    expectOneBox("Type mismatch", MsgIcon::Information, kAppTitle);
    expectCounts(1, 1, 1, 1);
}

TEST_F(StCvrtTest, TheLine32768StopsWithOverflow) {
    std::string work = "H\r\n";
    const std::string line = Line{}.text();
    for (int i = 0; i < 32768; ++i)
        work += line;
    EXPECT_FALSE(convert(work));
    expectOneBox("Overflow", MsgIcon::Information, kAppTitle);
    expectCounts(1, 32767, 32767, 32767);
    EXPECT_EQ(dataBytes("MASTER.DAT").substr(32766 * 128 + 106, 2), hexBytes("FE 7F"));
}

TEST_F(StCvrtTest, OutputThatCannotBeOpenedLeavesWhatWasWrittenBefore) {
    // A folder where AGENT.DAT should be: nothing is written.
    std::filesystem::create_directory(data("AGENT.DAT"));
    EXPECT_FALSE(convert("H\r\n" + Line{}.text()));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind("Path/File access error", 0), 0u);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Information);
    for (const char* name : {"MASTER.DAT", "ACCTYPE.DAT", "ACC_DETA.DAT", "BANK.COL"})
        EXPECT_FALSE(exists(name)) << name;
    std::filesystem::remove(data("AGENT.DAT"));

    // A folder where BANK.COL should be: AGENT.DAT is complete, the files opened before
    // BANK.COL are empty, the one after it is not made.
    boxes.shown.clear();
    std::filesystem::create_directory(data("BANK.COL"));
    EXPECT_FALSE(convert("H\r\n" + Line{}.text()));
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(dataBytes("AGENT.DAT").size(), 64u);
    EXPECT_EQ(dataBytes("MASTER.DAT"), "");
    EXPECT_EQ(dataBytes("ACCTYPE.DAT"), "");
    EXPECT_FALSE(exists("ACC_DETA.DAT"));
    EXPECT_TRUE(exists("TempAB.MST"));
}

} // namespace
} // namespace kelvarin::test
