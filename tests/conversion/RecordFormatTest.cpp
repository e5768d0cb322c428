// Record layouts, the record file reader and writer, AGENT.DAT's name and STATUS.DAT's flag.
#include "ConversionFixture.h"
#include "conversion/RecordFile.h"
#include "conversion/RecordRoutines.h"
#include "conversion/TerminalRecords.h"
#include "platform/RuntimeError.h"

namespace kelvarin::test {
namespace {

template <class Record>
std::string bytesOf(const Record& record) {
    RecordBytes<Record::kSize> bytes{};
    record.writeTo(bytes);
    return std::string(bytes.begin(), bytes.end());
}

TEST(RecordFormat, TextMemberOfWidth16TakesFifteenSixteenAndTwentyCharacters) {
    MasterRecord m;
    storeText(m.AccTypeCode, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(bytesOf(m).substr(52, 16), std::string("ABCDEFGHIJKLMNO") + nul(1));
    storeText(m.AccTypeCode, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(bytesOf(m).substr(52, 16), "ABCDEFGHIJKLMNOP");
    storeText(m.AccTypeCode, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(bytesOf(m).substr(52, 16), "ABCDEFGHIJKLMNOP");
    storeText(m.AccTypeCode, "");
    EXPECT_EQ(bytesOf(m).substr(52, 16), nul(1) + sp(15));
}

TEST(RecordFormat, NumbersAreLittleEndianAtTheirOffsetsAndUnsetMembersAreZero) {
    MasterRecord m;
    m.RecordNo = 1;
    m.TypeNo = 0xAB;
    const std::string bytes = bytesOf(m);
    EXPECT_EQ(bytes.substr(106, 2), hexBytes("01 00"));
    EXPECT_EQ(bytes.substr(121, 1), hexBytes("AB"));
    EXPECT_EQ(bytes.substr(0, 106), nul(106));

    BankColRecord b;
    b.Field5Date = DateRecord{5, 3, 2011};
    b.Field9Number = -2.0f;
    const std::string bank = bytesOf(b);
    EXPECT_EQ(bank.substr(2, 4), hexBytes("05 03 DB 07"));
    EXPECT_EQ(bank.substr(92, 4), hexBytes("00 00 00 C0"));
    EXPECT_EQ(bytesOf(BankColRecord{}), nul(128));

    AccTypeRecord a;
    storeText(a.AccTypeCode, "X");
    a.TypeNo = 7;
    EXPECT_EQ(bytesOf(a), std::string("X") + nul(1) + sp(14) + hexBytes("07") + nul(15));
}

// One hand-made transaction: Long0 258, Amount 12.5 (41480000), key "K1", type "SAV", mark 1,
// 5/3/2011 10:30:45, Single120 -0.5 (BF000000).
std::string transactionBytes() {
    return hexBytes("02 01 00 00 00 00 48 41") + "K1" + nul(1) + sp(17) + "SAV" + nul(1) + sp(12) +
           nul(4) + hexBytes("01") + nul(4) + hexBytes("05 03 DB 07 0A 1E 2D 09") + nul(1) +
           nul(4) + sp(15) + sp(11) + nul(2) + sp(25) + nul(1) + hexBytes("00 00 00 BF") + "ABCD";
}

TEST(RecordFormat, TransactionRecordReadsEveryMemberItsUsersNeed) {
    const std::string raw = transactionBytes();
    ASSERT_EQ(raw.size(), 128u);
    RecordBytes<128> bytes{};
    std::copy(raw.begin(), raw.end(), bytes.begin());
    const TransactionRecord t = TransactionRecord::readFrom(bytes);
    EXPECT_EQ(t.Long0, 258);
    EXPECT_EQ(t.Amount, 12.5f);
    EXPECT_EQ(textOf(t.AccountKey), std::string("K1") + nul(1) + sp(17));
    EXPECT_EQ(textOf(t.AccTypeCode), std::string("SAV") + nul(1) + sp(12));
    EXPECT_EQ(t.MarkFlag, 1);
    EXPECT_EQ(t.TransDate.Day, 5);
    EXPECT_EQ(t.TransDate.Month, 3);
    EXPECT_EQ(t.TransDate.Year, 2011);
    EXPECT_EQ(t.TransTime.Hour, 10);
    EXPECT_EQ(t.TransTime.Minute, 30);
    EXPECT_EQ(t.TransTime.Second, 45);
    EXPECT_EQ(t.Single120, -0.5f);
    EXPECT_EQ(bytesOf(t), raw);
}

TEST(RecordFormat, MasterTrnOf0And128And130BytesGivesWholeRecordsOnly) {
    TempFolder folder;
    const auto path = folder.path() / "MASTER.TRN";
    writeBytes(path, "");
    EXPECT_TRUE(readRecordFile<TransactionRecord>(path).empty());

    writeBytes(path, transactionBytes());
    auto records = readRecordFile<TransactionRecord>(path);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Long0, 258);

    writeBytes(path, transactionBytes() + hexBytes("FF FF"));
    records = readRecordFile<TransactionRecord>(path);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Amount, 12.5f);

    writeBytes(path, transactionBytes() + transactionBytes().substr(0, 127));
    EXPECT_EQ(readRecordFile<TransactionRecord>(path).size(), 1u);
}

TEST(RecordFormat, WriterPutsRecordsAtTheCurrentPositionWithoutTruncating) {
    TempFolder folder;
    const auto path = folder.path() / "ACCTYPE.DAT";
    {
        RecordFileWriter writer(path);
        AccTypeRecord a;
        a.TypeNo = 1;
        writer.put(a);
        a.TypeNo = 2;
        writer.put(a);
        writer.close();
    }
    const std::string two = readBytes(path);
    ASSERT_EQ(two.size(), 64u);
    EXPECT_EQ(two[16], 1);
    EXPECT_EQ(two[48], 2);

    writeBytes(path, std::string(100, 'z'));
    {
        RecordFileWriter writer(path);
        writer.put(AccTypeRecord{});
    }
    EXPECT_EQ(readBytes(path), nul(32) + std::string(68, 'z'));
}

TEST(RecordFormat, WriterInAMissingFolderIsPathNotFound) {
    TempFolder folder;
    try {
        RecordFileWriter writer(folder.path() / "nope" / "MASTER.DAT");
        FAIL() << "opened";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), kErrPathNotFound);
    }
}

std::string agentFileNameOf(const std::string& bytes) {
    TempFolder folder;
    writeBytes(folder.path() / "AGENT.DAT", bytes);
    RecordFileReader reader(folder.path() / "AGENT.DAT");
    return GetAgentFileName(reader);
}

TEST(AgentFileName, CodeCutAtNulAndTrimmedThenTxt) {
    EXPECT_EQ(agentFileNameOf(nul(26) + "AB  " + nul(1) + sp(11) + nul(22)), "AB.TXT");
    EXPECT_EQ(agentFileNameOf(nul(26) + " BCDEFGHIJKLMNOP" + nul(22)), "BCDEFGHIJKLMNOP.TXT");
    EXPECT_EQ(agentFileNameOf(""), ".TXT");
    EXPECT_EQ(agentFileNameOf(nul(40)), ".TXT");
    // A code from the terminal cannot name a file outside the folder.
    EXPECT_EQ(agentFileNameOf(nul(26) + "../x/y\\z" + nul(1) + sp(7) + nul(22)), ".._x_y_z.TXT");
}

TEST(StatusFlag, BitValueTwoOfTheFirstByteDecides) {
    TempFolder folder;
    const auto path = (folder.path() / "STATUS.DAT").string();
    for (int flags : {2, 3, 255}) {
        writeBytes(path, std::string(1, static_cast<char>(flags)) + "\x00\x00");
        EXPECT_FALSE(IsStatusFlagClear(path)) << flags;
    }
    for (int flags : {0, 1, 4, 253}) {
        writeBytes(path, std::string(1, static_cast<char>(flags)) + "\x02");
        EXPECT_TRUE(IsStatusFlagClear(path)) << flags;
    }
    writeBytes(path, "");
    EXPECT_TRUE(IsStatusFlagClear(path));
    std::filesystem::remove(path);
    EXPECT_TRUE(IsStatusFlagClear(path));
}

} // namespace
} // namespace kelvarin::test
