// A small master file through the whole chain; every output byte worked out by hand from the
// record layouts.
#include "ConversionFixture.h"

namespace kelvarin::test {
namespace {

// Three accounts out of sort order; value 1 of Carol's and Alice's lines agree in their first
// 15 characters (the TEMP.DAT column width), so they are one account type; Bob's line has an
// empty date and more than eleven values.
const std::string kMaster = "Head One,H2\r\n"
                            "SAVINGSACCOUNTX-other,Carol,K003,Cherry,31/12/2010,1,2,3,4,1,"
                            "note three\r\n"
                            "SAVINGSACCOUNTXYZ,Alice,K001,Apple,05/03/2011,2.5,10,7.25,2.5,1,"
                            "note one\r\n"
                            "LOAN,Bob,K002,Berry,,100,0.5,-1,3.5,2,x,extra,more\r\n";

std::string masterRecord(const std::string& key, const std::string& sortText,
                         const std::string& typeCode, const std::string& name,
                         const std::string& recordNo, const std::string& typeNo) {
    return key + sortText + typeCode + name + hexBytes("00") + hexBytes("00 20 20 20") +
           hexBytes("01") + hexBytes(recordNo) + nul(13) + hexBytes(typeNo) +
           hexBytes("00 20 20 20 20 20");
}

std::string detailRecord(const std::string& key, const std::string& field11,
                         const std::string& typeCode, const std::string& typeNo) {
    return key + hexBytes("00 00") + nul(1) + sp(19) + field11 + nul(1) + sp(9) + typeCode +
           nul(4) + hexBytes(typeNo) + nul(1);
}

std::string bankRecord(const std::string& date, const std::string& field7,
                       const std::string& typeNo, const std::string& field6,
                       const std::string& field9, const std::string& field8) {
    return nul(2) + hexBytes(date) + nul(4) + hexBytes(field7) + nul(12) + hexBytes(typeNo) +
           hexBytes(field6) + nul(20) + nul(1) + sp(9) + nul(30) + nul(1) + hexBytes(field9) +
           hexBytes(field8) + nul(16) + nul(1) + sp(11);
}

class GoldenChainTest : public ConversionFixture {};

TEST_F(GoldenChainTest, SmallMasterFileGivesTheFiveTerminalFilesByteForByte) {
    putData("AB.MST", kMaster);
    ASSERT_TRUE(runChain("AB.MST"));
    EXPECT_TRUE(boxes.shown.empty());

    const std::string agent = std::string("Head One") + nul(1) + sp(17) + "AB  " + nul(1) + sp(11) +
                              "H2" + nul(1) + sp(6) + nul(4) + nul(1) + sp(3) + nul(1) + sp(4);
    ASSERT_EQ(agent.size(), 64u);
    EXPECT_EQ(dataBytes("AGENT.DAT"), agent);

    const std::string savType = std::string("SAVINGSACCOUNTX") + nul(1);
    const std::string loanType = std::string("LOAN") + nul(1) + sp(11);
    const std::string master =
        masterRecord(std::string("K001") + nul(1) + sp(15), std::string("Apple") + nul(1) + sp(26),
                     savType, std::string("Alice") + nul(1) + sp(26), "00 00", "01") +
        masterRecord(std::string("K002") + nul(1) + sp(15), std::string("Berry") + nul(1) + sp(26),
                     loanType, std::string("Bob") + nul(1) + sp(28), "01 00", "02") +
        masterRecord(std::string("K003") + nul(1) + sp(15), std::string("Cherry") + nul(1) + sp(25),
                     savType, std::string("Carol") + nul(1) + sp(26), "02 00", "01");
    ASSERT_EQ(master.size(), 3u * 128u);
    EXPECT_EQ(dataBytes("MASTER.DAT"), master);

    const std::string accType =
        savType + hexBytes("01") + nul(15) + loanType + hexBytes("02") + nul(15);
    EXPECT_EQ(dataBytes("ACCTYPE.DAT"), accType);

    const std::string savDetailType = std::string("SAVINGSACCOUNTX") + nul(2) + sp(3);
    const std::string loanDetailType = std::string("LOAN") + nul(2) + sp(14);
    const std::string detail =
        detailRecord(std::string("K001") + nul(1) + sp(15),
                     std::string("note one") + nul(1) + sp(41), savDetailType, "01") +
        detailRecord(std::string("K002") + nul(1) + sp(15), std::string("x") + nul(1) + sp(48),
                     loanDetailType, "02") +
        detailRecord(std::string("K003") + nul(1) + sp(15),
                     std::string("note three") + nul(1) + sp(39), savDetailType, "01");
    ASSERT_EQ(detail.size(), 3u * 128u);
    EXPECT_EQ(dataBytes("ACC_DETA.DAT"), detail);

    // Floats: 10 = 41200000, 2.5 = 40200000, 2 = 40000000, 7.25 = 40E80000, 0.5 = 3F000000,
    // 100 = 42C80000, 4 = 40800000, -1 = BF800000, 1 = 3F800000, 3 = 40400000.
    const std::string bank =
        bankRecord("05 03 DB 07", "00 00 20 41", "01", "00 00 20 40", "00 00 00 40",
                   "00 00 E8 40") +
        // The empty date repeats the line before; value 9 of 3.5 rounds to 4.
        bankRecord("05 03 DB 07", "00 00 00 3F", "02", "00 00 C8 42", "00 00 80 40",
                   "00 00 80 BF") +
        bankRecord("1F 0C DA 07", "00 00 00 40", "01", "00 00 80 3F", "00 00 80 40", "00 00 40 40");
    ASSERT_EQ(bank.size(), 3u * 128u);
    EXPECT_EQ(dataBytes("BANK.COL"), bank);

    // The work file is gone after success; TEMP.DAT stays sorted; no scratch file is left.
    EXPECT_FALSE(exists("TempAB.MST"));
    EXPECT_FALSE(exists("TEMP1234.DAT"));
    EXPECT_EQ(std::filesystem::file_size(data("TEMP.DAT")), 32u + 3u * 166u);
}

TEST_F(GoldenChainTest, StagingFilesOfTheSmallMasterFile) {
    putData("AB.MST", kMaster);
    conversion.sourceFileName = "AB.MST";
    conversion.TempFileCreation("AB.MST");
    const std::string temp = dataBytes("TEMP.DAT");
    ASSERT_EQ(temp.size(), 32u + 3u * 166u);
    EXPECT_EQ(temp.substr(0, 32), "Head One" + sp(16) + "H2" + sp(4) + crlf());
    // Bob's line, the third of the master file: columns at 0, 15, 39, 58, 89, 99, 109, 119,
    // 129, 139, 140; the twelfth value and later are dropped.
    EXPECT_EQ(temp.substr(32 + 2 * 166, 166), "LOAN" + sp(11) + "Bob" + sp(21) + "K002" + sp(15) +
                                                  "Berry" + sp(26) + sp(10) + "100" + sp(7) +
                                                  "0.5" + sp(7) + "-1" + sp(8) + "3.5" + sp(7) +
                                                  "2" + "x" + sp(23) + crlf());

    conversion.SortTempFile();
    conversion.CommaFileCreation("AB.MST");
    EXPECT_EQ(dataBytes("TempAB.MST"),
              "Head One,H2\r\n"
              "SAVINGSACCOUNTX,Alice,K001,Apple,05/03/2011,2.5,10,7.25,2.5,1,note one\r\n"
              "LOAN,Bob,K002,Berry,,100,0.5,-1,3.5,2,x\r\n"
              "SAVINGSACCOUNTX,Carol,K003,Cherry,31/12/2010,1,2,3,4,1,note three\r\n");
}

} // namespace
} // namespace kelvarin::test
