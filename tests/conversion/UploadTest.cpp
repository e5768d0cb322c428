// The upload text file: its summary line and the transaction lines that Reconvert appends, with
// the input files built byte by byte from their layouts and the expected text worked out by hand.
#include "ConversionFixture.h"
#include "conversion/NumberText.h"
#include "conversion/RecordFile.h"
#include "conversion/TerminalRecords.h"
#include "conversion/UploadSummary.h"
#include "conversion/UploadTransactionLines.h"
#include "support/CommaLocale.h"
#include "support/ImmutableFlag.h"

#include <clocale>
#include <locale>
#include <unistd.h>

namespace kelvarin::test {
namespace {

// A text member: the value, one NUL, then spaces to the width; a value of the full width has
// no NUL.
std::string member(const std::string& value, std::size_t width) {
    std::string bytes = value;
    if (bytes.size() < width)
        bytes += nul(1);
    return bytes + sp(width - bytes.size());
}

std::string agentRecord(const std::string& agentCode16) {
    return member("KELVARIN COLLECTIONS", 26) + agentCode16 + member("071226", 9) + nul(4) +
           member("", 4) + member("", 5);
}

// AccountKey at 0, SortText at 20, AccTypeCode at 52, Field2Text at 68, then 28 bytes of numbers.
std::string masterRecord(const std::string& accountKey20, const std::string& accType16,
                         const std::string& field2Text32) {
    return accountKey20 + member("SORT", 32) + accType16 + field2Text32 + nul(28);
}

struct Transaction {
    std::string long0;  // 4 bytes, little-endian
    std::string amount; // 4 bytes of a single, little-endian
    std::string accountKey20;
    std::string accType16;
    std::uint8_t markFlag;
    std::string date; // Day, Month, Year (2 bytes)
    std::string time; // Hour, Minute, Second, one more byte
    std::string single120;
};

// The members the PC does not read hold 0xEE, so a reader that strays into them shows.
std::string transactionRecord(const Transaction& t) {
    std::string r(128, '\xEE');
    r.replace(0, 4, t.long0);
    r.replace(4, 4, t.amount);
    r.replace(8, 20, t.accountKey20);
    r.replace(28, 16, t.accType16);
    r[48] = static_cast<char>(t.markFlag);
    r.replace(53, 4, t.date);
    r.replace(57, 4, t.time);
    r.replace(120, 4, t.single120);
    return r;
}

class UploadTest : public ConversionFixture {
protected:
    // What the Upload command does with the received files: the summary line from AGENT.DAT and
    // MASTER.TRN, then Reconvert on MASTER.TRN from its start.
    bool upload() {
        const auto agents = readRecordFile<AgentRecord>(data("AGENT.DAT"));
        const auto transactions = readRecordFile<TransactionRecord>(data("MASTER.TRN"));
        auto out = conversion.FSo.OpenTextFile(data("UPLOAD.TXT"), IoMode::ForWriting, true);
        out->WriteLine(
            UploadSummaryLine(agents.empty() ? AgentRecord{} : agents.front(), transactions));
        RecordFileReader trn(data("MASTER.TRN"));
        const bool converted = Reconvert(trn, *out, boxes);
        trn.close();
        out->Close();
        return converted;
    }
    std::string uploaded() const { return dataBytes("UPLOAD.TXT"); }

    // One transaction matched against an ACC1/SAV master, its line expected as `line`.
    void putOneTransaction() const {
        putData("AGENT.DAT", agentRecord(member("A1  ", 16)));
        putData("MASTER.TRN", transactionRecord({hexBytes("05 00 00 00"), hexBytes("00 00 00 3f"),
                                                 member("ACC1", 20), member("SAV", 16), 0,
                                                 hexBytes("05 03 db 07"), hexBytes("09 05 07 00"),
                                                 hexBytes("00 00 48 41")}));
    }
    static constexpr const char* kOneLineWithoutMaster =
        "SAV,,ACC1,.50,12.5,05/03/2011,09:05:07,5,Y";

    // The whole scenario; returns the file the upload wrote.
    std::string goldenUpload() {
        putData("AGENT.DAT", agentRecord(member("A1  ", 16)));
        putData("MASTER.DAT",
                masterRecord(member("ACC1", 20), member("SAV", 16), member("  Ravi Kumar", 32)) +
                    masterRecord(member("ACC1", 20), member("SAV", 16), member("Second Ravi", 32)) +
                    masterRecord(member("ACC2", 20), member("LOAN", 16), member("Shah, Anil", 32)) +
                    masterRecord(member("acc3", 20), member("RD", 16), member("Lower Case", 32)) +
                    masterRecord(member("ACC4 ", 20), member("FD", 16),
                                 member("Blank Before Nul", 32)) +
                    masterRecord("ACCOUNT KEY 20 CHARS", "TYPE SIXTEEN CHR",
                                 "  Field Two Of 32 Characters    "));
        const std::string trn =
            // Long0 -1, Amount 0, Single120 0; the first of the two ACC1/SAV masters.
            transactionRecord({hexBytes("ff ff ff ff"), hexBytes("00 00 00 00"), member("ACC1", 20),
                               member("SAV", 16), 0, hexBytes("05 03 db 07"),
                               hexBytes("09 05 07 00"), hexBytes("00 00 00 00")}) +
            // Amount 0.5, Single120 12.5, MarkFlag 1; a master text holding a comma.
            transactionRecord({hexBytes("07 00 00 00"), hexBytes("00 00 00 3f"), member("ACC2", 20),
                               member("LOAN", 16), 1, hexBytes("1f 0c cf 07"),
                               hexBytes("17 3b 3b 00"), hexBytes("00 00 48 41")}) +
            // Amount 1234.5, Single120 3e38 (3.0000000054977558e38), MarkFlag 2; the master's
            // key differs in case only.
            transactionRecord({hexBytes("ff ff ff 7f"), hexBytes("00 50 9a 44"), member("ACC3", 20),
                               member("RD", 16), 2, hexBytes("01 01 ea 07"),
                               hexBytes("00 00 00 00"), hexBytes("e6 b1 61 7f")}) +
            // Amount -2.25, Single120 1e-5 (9.999999747e-06); the master's key has a blank
            // before its NUL.
            transactionRecord({hexBytes("00 00 00 80"), hexBytes("00 00 10 c0"), member("ACC4", 20),
                               member("FD", 16), 0, hexBytes("1d 02 e8 07"),
                               hexBytes("0c 1e 2d 00"), hexBytes("ac c5 27 37")}) +
            // Amount 1234567.875 (more than 7 significant digits), Single120 123456792; keys
            // and master text of full width without NUL; day 123, year 12345, hour 100.
            transactionRecord({hexBytes("00 00 00 00"), hexBytes("3f b4 96 49"),
                               "ACCOUNT KEY 20 CHARS", "TYPE SIXTEEN CHR", 0,
                               hexBytes("7b 07 39 30"), hexBytes("64 00 05 00"),
                               hexBytes("a3 79 eb 4c")}) +
            // Amount -0.125, Single120 -12.5; a blank before the key: no master, trimmed print.
            transactionRecord({hexBytes("63 00 00 00"), hexBytes("00 00 00 be"),
                               member(" ACC2", 20), member("LOAN", 16), 0, hexBytes("01 02 d3 07"),
                               hexBytes("04 05 06 00"), hexBytes("00 00 48 c1")}) +
            // Two bytes of a partial record.
            hexBytes("01 02");
        putData("MASTER.TRN", trn);
        const std::string masterBefore = dataBytes("MASTER.DAT");
        EXPECT_TRUE(upload());
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(dataBytes("MASTER.DAT"), masterBefore);
        return uploaded();
    }

    // Counted (MarkFlag 0): 0, -2.25, 1234568 (the 7-digit text of 1234567.875), -0.125;
    // 1234565.625 rounds half away from zero.
    const std::string kGoldenFile =
        "A1,4,1234565.63\r\n"
        "SAV,Ravi Kumar,ACC1,.00,0,05/03/2011,09:05:07,-1,Y\r\n"
        "LOAN,Shah, Anil,ACC2,.50,12.5,31/12/1999,23:59:59,7,C\r\n"
        "RD,,ACC3,1234.50,3E+38,01/01/2026,00:00:00,2147483647,Y\r\n"
        "FD,,ACC4,-2.25,1E-05,29/02/2024,12:30:45,-2147483648,Y\r\n"
        "TYPE SIXTEEN CHR,Field Two Of 32 Characters,ACCOUNT KEY 20 CHARS,1234567.88,"
        "1.234568E+08,123/07/12345,100:00:05,0,Y\r\n"
        "LOAN,,ACC2,-.13,-12.5,01/02/2003,04:05:06,99,Y\r\n";
};

TEST_F(UploadTest, GoldenFileOfSummaryAndTransactionLines) {
    EXPECT_EQ(goldenUpload(), kGoldenFile);
}

// Qt sets the C library's locale from the environment; a decimal comma must not reach the file.
TEST_F(UploadTest, GoldenFileUnderADecimalCommaLocale) {
    CommaLocale commaLocale;
    if (!commaLocale.active)
        GTEST_SKIP() << "locale de_DE.UTF-8 not installed (scripts/install-deps.sh generates it)";
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    EXPECT_EQ(goldenUpload(), kGoldenFile);
}

TEST_F(UploadTest, SummaryLineOfNoTransactionsAndOfAnAgentCodeStartingWithNul) {
    putData("AGENT.DAT", agentRecord(member("A1", 16)));
    putData("MASTER.TRN", "");
    EXPECT_TRUE(upload());
    EXPECT_EQ(uploaded(), "A1,0,.00\r\n");
    EXPECT_FALSE(exists("MASTER.DAT")); // no transaction, no search

    putData("AGENT.DAT", agentRecord(nul(1) + "B2" + sp(13)));
    EXPECT_TRUE(upload());
    EXPECT_EQ(uploaded(), ",0,.00\r\n");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(UploadTest, AMissingMasterFileIsCreatedEmptyAndLeavesColumnTwoEmpty) {
    putOneTransaction();
    EXPECT_TRUE(upload());
    EXPECT_EQ(uploaded(), std::string("A1,1,.50\r\n") + kOneLineWithoutMaster + "\r\n");
    ASSERT_TRUE(exists("MASTER.DAT"));
    EXPECT_EQ(dataBytes("MASTER.DAT"), "");
}

// MASTER.DAT is read in blocks of records: the match lies far beyond the first one, and the file
// ends in a partial record.
TEST_F(UploadTest, TheFirstMatchFarIntoALongMasterFile) {
    putOneTransaction();
    std::string masters;
    for (int i = 0; i < 1500; ++i)
        masters += masterRecord(member("ACC" + std::to_string(1000 + i), 20), member("SAV", 16),
                                member("Other", 32));
    masters += masterRecord(member("ACC1", 20), member("SAV", 16), member("Far Away", 32)) +
               masterRecord(member("ACC1", 20), member("SAV", 16), member("Later", 32)) +
               std::string(100, 'x');
    putData("MASTER.DAT", masters);
    EXPECT_TRUE(upload());
    EXPECT_EQ(uploaded(), "A1,1,.50\r\nSAV,Far Away,ACC1,.50,12.5,05/03/2011,09:05:07,5,Y\r\n");
}

// A MASTER.DAT that may not be written names itself and the system's reason under 75; one that
// another program holds (here the running test program itself, which the system keeps from
// writers) is the file in use, 70. Either way the upload fails.
TEST_F(UploadTest, AMasterFileThatMayNotBeWrittenIs75WithItsReasonAndOneInUseIs70) {
    putOneTransaction();
    putData("MASTER.DAT",
            masterRecord(member("ACC1", 20), member("SAV", 16), member("Ravi Kumar", 32)));
    std::filesystem::permissions(data("MASTER.DAT"), std::filesystem::perms::owner_read);
    bool immutable = false;
    if (::access(data("MASTER.DAT").c_str(), W_OK) == 0) {
        immutable = setImmutable(data("MASTER.DAT"), true);
        if (!immutable)
            GTEST_SKIP() << "running with rights that ignore file permissions";
    }
    const bool converted = upload();
    if (immutable)
        setImmutable(data("MASTER.DAT"), false);
    EXPECT_FALSE(converted);
    expectOneBox("Error No: 75     Path/File access error (" + data("MASTER.DAT").string() +
                     (immutable ? ": Operation not permitted)" : ": Permission denied)"),
                 MsgIcon::Information, "MERIDOCK");
    EXPECT_EQ(uploaded(), "A1,1,.50\r\n"); // the line being built is not written

    boxes.shown.clear();
    std::filesystem::remove(data("MASTER.DAT"));
    std::filesystem::create_symlink(std::filesystem::read_symlink("/proc/self/exe"),
                                    data("MASTER.DAT"));
    EXPECT_FALSE(upload());
    expectOneBox("   Database already running    \r\n   Please close database  ",
                 MsgIcon::Information, "MERIDOCK");
}

TEST_F(UploadTest, OtherFailuresShowTheirNumberAndDescription) {
    putOneTransaction();
    std::filesystem::create_directory(data("MASTER.DAT"));
    EXPECT_FALSE(upload());
    expectOneBox("Error No: 75     Path/File access error (" + data("MASTER.DAT").string() +
                     ": Is a directory)",
                 MsgIcon::Information, "MERIDOCK");
    EXPECT_EQ(uploaded(), "A1,1,.50\r\n");
}

TEST(UploadNumberText, PatternsAtTheirBoundaries) {
    // Exact ties go away from zero; a value that rounds to zero has no sign.
    EXPECT_EQ(twoDecimalsText(0.125), ".13");
    EXPECT_EQ(twoDecimalsText(-2.675), "-2.67"); // the double lies below 2.675
    EXPECT_EQ(twoDecimalsText(-0.004), ".00");
    EXPECT_EQ(twoDecimalsText(0.999), "1.00");
    EXPECT_EQ(twoDecimalsText(1e7), "10000000.00");
    // Seven significant digits at most, then exponent form.
    EXPECT_EQ(singleText(-0.0f), "0");
    EXPECT_EQ(singleText(0.1f), "0.1");
    EXPECT_EQ(singleText(0.0001f), "0.0001");
    EXPECT_EQ(singleText(1234567.0f), "1234567");
    EXPECT_EQ(singleText(9999999.0f), "9999999");
    EXPECT_EQ(singleText(10000000.0f), "1E+07");
    EXPECT_DOUBLE_EQ(readSingleText("1.234568E+08"), 123456800.0);
    EXPECT_EQ(zeroPadded(-5, 4), "-0005");
}

} // namespace
} // namespace kelvarin::test
