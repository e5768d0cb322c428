// TEMP.DAT, the sort and the comma work file.
#include "ConversionFixture.h"
#include "conversion/StagingSort.h"
#include "support/ImmutableFlag.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace kelvarin::test {
namespace {

class StagingTest : public ConversionFixture {
protected:
    // TEMP.DAT written from a master file named `name`.
    std::string stage(const std::string& name, const std::string& master) {
        putData(name, master);
        conversion.sourceFileName = name;
        conversion.TempFileCreation(name);
        return exists("TEMP.DAT") ? dataBytes("TEMP.DAT") : std::string("<none>");
    }

    // A TEMP.DAT data line whose SortText column is `key` and whose Field2Text is `tag`.
    static std::string tempLine(const std::string& key, const std::string& tag) {
        std::string line = sp(15) + tag + sp(24 - tag.size()) + sp(19) + key + sp(31 - key.size()) +
                           sp(75) + crlf();
        return line;
    }
};

TEST_F(StagingTest, HeaderAndAccountLinesInFixedColumns) {
    const std::string temp = stage("AB.MST", "AB,CD,EF\r\n"
                                             "T,N,K\r\n"
                                             "\r\n"
                                             "ABCDEFGHIJKLMNOPQRST, 7,K,S,D,6,7,8,9,1,11\r\n");
    ASSERT_EQ(temp.size(), 32u + 3u * 166u);
    EXPECT_EQ(temp.substr(0, 32), "AB" + sp(22) + "CD" + sp(4) + crlf());
    EXPECT_EQ(temp.substr(32, 166), "T" + sp(14) + "N" + sp(23) + "K" + sp(18) + sp(106) + crlf());
    EXPECT_EQ(temp.substr(32 + 166, 166), sp(164) + crlf());
    EXPECT_EQ(temp.substr(32 + 332, 166), "ABCDEFGHIJKLMNO" + std::string(" 7") + sp(22) + "K" +
                                              sp(18) + "S" + sp(30) + "D" + sp(9) + "6" + sp(9) +
                                              "7" + sp(9) + "8" + sp(9) + "9" + sp(9) + "1" + "11" +
                                              sp(22) + crlf());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StagingTest, ValuesStopAtNulAndHeaderOnlyGivesThirtyTwoBytes) {
    EXPECT_EQ(stage("AB.MST", std::string("A\0B,C\r\n", 7)), "A" + sp(23) + "C" + sp(5) + crlf());
    EXPECT_EQ(stage("AB.MST", "X"), "X" + sp(29) + crlf());
}

TEST_F(StagingTest, BaseNameRulesOfTheMasterFileName) {
    EXPECT_EQ(stage("ABCD.MST", "H\r\n").size(), 32u);
    EXPECT_EQ(stage("AB.1.MST", "H\r\n").size(), 32u);
    EXPECT_TRUE(boxes.shown.empty());

    EXPECT_EQ(stage("ABCDE.MST", "H\r\n"), "<none>");
    expectOneBox(std::string("Data Conversion Error! \r\nFilename should be less than four ") +
                     "characters",
                 MsgIcon::Exclamation, kWindowTitle);
    EXPECT_EQ(focusMoves, 1);

    boxes.shown.clear();
    EXPECT_EQ(stage("ABCD", "H\r\n"), "<none>");
    expectOneBox("     Select  file ", MsgIcon::Exclamation, kAppTitle);
}

TEST_F(StagingTest, MissingOrEmptyMasterFileRemovesTheOldTempDat) {
    putData("TEMP.DAT", "old");
    conversion.sourceFileName = "AB.MST";
    conversion.TempFileCreation("AB.MST");
    EXPECT_FALSE(exists("TEMP.DAT"));
    expectOneBox(" No Data in the file", MsgIcon::Information, kAppTitle);

    boxes.shown.clear();
    EXPECT_EQ(stage("AB.MST", ""), "<none>");
    expectOneBox("Input past end of file", MsgIcon::Information, kAppTitle);
}

TEST_F(StagingTest, SortIsOrdinalAndKeepsEqualKeysInOrder) {
    const std::string header = "H" + sp(29) + crlf();
    putData("TEMP.DAT", header + tempLine("a", "1") + tempLine("B", "2") + tempLine("a", "3") +
                            tempLine(" Z", "4") + tempLine("B", "5"));
    mdlLoadSetup::SetDataPath(dataFolder().string());
    conversion.SortTempFile();
    EXPECT_EQ(dataBytes("TEMP.DAT"), header + tempLine(" Z", "4") + tempLine("B", "2") +
                                         tempLine("B", "5") + tempLine("a", "1") +
                                         tempLine("a", "3"));
    EXPECT_FALSE(exists("TEMP1234.DAT"));
}

TEST_F(StagingTest, SortLeavesHeaderOnlyAndDropsATrailingPiece) {
    mdlLoadSetup::SetDataPath(dataFolder().string());
    const std::string header = "H" + sp(29) + crlf();
    putData("TEMP.DAT", header + "xyz");
    putData("TEMP1234.DAT", "stale");
    // Nothing to sort is no failure: the Download goes on.
    EXPECT_TRUE(conversion.SortTempFile());
    EXPECT_EQ(dataBytes("TEMP.DAT"), header + "xyz");
    EXPECT_FALSE(exists("TEMP1234.DAT"));

    putData("TEMP.DAT", header + tempLine("b", "1") + tempLine("a", "2") + "xyz");
    conversion.SortTempFile();
    EXPECT_EQ(dataBytes("TEMP.DAT"), header + tempLine("a", "2") + tempLine("b", "1"));

    std::filesystem::remove(data("TEMP.DAT"));
    EXPECT_TRUE(conversion.SortTempFile());
    EXPECT_FALSE(exists("TEMP.DAT"));
    EXPECT_TRUE(boxes.shown.empty());
}

// The sorted copy cannot take TEMP.DAT's place: TEMP.DAT keeps every record, the scratch copy
// goes, and the caller learns that the sort failed, and the user why.
TEST_F(StagingTest, SortThatCannotReplaceTempDatSaysSo) {
    mdlLoadSetup::SetDataPath(dataFolder().string());
    const std::string unsorted = "H" + sp(29) + crlf() + tempLine("b", "1") + tempLine("a", "2");
    putData("TEMP.DAT", unsorted);
    if (!setImmutable(data("TEMP.DAT"), true))
        GTEST_SKIP() << "the file system or the process's rights refuse the immutable flag";
    const bool sorted = conversion.SortTempFile();
    setImmutable(data("TEMP.DAT"), false);

    EXPECT_FALSE(sorted);
    expectOneBox("Path/File access error (" + data("TEMP.DAT").string() +
                     ": Operation not permitted)",
                 MsgIcon::Information, kAppTitle);
    EXPECT_EQ(dataBytes("TEMP.DAT"), unsorted);
    EXPECT_FALSE(exists("TEMP1234.DAT"));
}

TEST_F(StagingTest, SortTakesAtMost32767Records) {
    mdlLoadSetup::SetDataPath(dataFolder().string());
    const std::string header = "H" + sp(29) + crlf();
    // Keys in falling order, so a sorted file is easy to tell from an untouched one.
    std::string lines;
    for (int i = 32767; i > 0; --i)
        lines += tempLine(std::to_string(100000 + i), "");
    putData("TEMP.DAT", header + lines);
    conversion.SortTempFile();
    std::string temp = dataBytes("TEMP.DAT");
    ASSERT_EQ(temp.size(), 32u + 32767u * 166u);
    EXPECT_EQ(temp.substr(32 + 58, 7), "100001 ");
    EXPECT_EQ(temp.substr(32 + 32766 * 166 + 58, 7), "132767 ");

    // One record more than the count holds: TEMP.DAT stays as it was.
    const std::string tooMany = header + tempLine("132768", "") + lines;
    putData("TEMP.DAT", tooMany);
    EXPECT_TRUE(conversion.SortTempFile()); // StCvrt refuses it with its own message
    EXPECT_EQ(dataBytes("TEMP.DAT"), tooMany);
    EXPECT_FALSE(exists("TEMP1234.DAT"));
}

// AddressSanitizer reserves its own address space and cannot live under a small limit.
#if defined(__SANITIZE_ADDRESS__)
#define KELVARIN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELVARIN_ASAN 1
#endif
#endif

#ifndef KELVARIN_ASAN
// Lets this process map at most `extra` bytes more than it has mapped now.
void limitAddressSpace(std::size_t extra) {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    const auto limit =
        static_cast<rlim_t>(pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + extra);
    const rlimit bound{limit, limit};
    setrlimit(RLIMIT_AS, &bound);
}
#endif

TEST_F(StagingTest, SortThatRunsOutOfMemoryLeavesTempDatAsItWas) {
#ifdef KELVARIN_ASAN
    GTEST_SKIP() << "needs an address-space limit";
#else
    mdlLoadSetup::SetDataPath(dataFolder().string());
    // A sparse TEMP.DAT of a million blank records, about 166 MB: more than the sort is let
    // hold, so reading it fails part-way.
    const std::uintmax_t size = 32 + 166ull * 1000000;
    std::ofstream(data("TEMP.DAT")).close();
    std::filesystem::resize_file(data("TEMP.DAT"), size);
    // Both limits run out while reading; the larger one leaves enough to sort and write what
    // was read.
    for (const std::size_t megabytes : {64, 112})
        EXPECT_EXIT(
            {
                limitAddressSpace(megabytes << 20);
                conversion.SortTempFile();
                const bool unchanged =
                    std::filesystem::file_size(data("TEMP.DAT")) == size && !exists("TEMP1234.DAT");
                std::_Exit(unchanged ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "")
            << megabytes << " MB";
#endif
}

// The neighbour-exchange sort the order must equal: N - 1 full passes, swap on "greater".
void neighbourExchangeSort(std::vector<TempLineRecord>& r) {
    const std::size_t n = r.size();
    for (std::size_t pass = 0; pass + 1 < n; ++pass)
        for (std::size_t j = 0; j + 1 < n; ++j)
            if (std::memcmp(r[j].data() + 58, r[j + 1].data() + 58, 31) > 0)
                std::swap(r[j], r[j + 1]);
}

TEST(StagingSort, SameOrderAsNeighbourExchangeOnRandomKeysWithManyEqual) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 20; ++round) {
        std::vector<TempLineRecord> records(1 + random() % 300);
        for (std::size_t i = 0; i < records.size(); ++i) {
            TempLineRecord& r = records[i];
            r.fill(' ');
            // Few distinct keys, bytes across the whole range, and a unique tag per record.
            const char alphabet[] = {'a', 'B', ' ', '\xE9', '\x01'};
            for (std::size_t k = 0; k < 3; ++k)
                r[58 + k] = static_cast<std::uint8_t>(alphabet[random() % 5]);
            r[0] = static_cast<std::uint8_t>(i & 0xFF);
            r[1] = static_cast<std::uint8_t>(i >> 8);
        }
        auto expected = records;
        neighbourExchangeSort(expected);
        sortBySortText(records);
        ASSERT_EQ(records, expected) << "round " << round;
    }
}

TEST_F(StagingTest, CommaWorkFileTrimsValuesAndFillsShortLines) {
    mdlLoadSetup::SetDataPath(dataFolder().string());
    const std::string full = " T" + sp(13) + "Name" + sp(20) + "K1" + sp(17) + "S" + sp(30) +
                             "05/03/2011" + sp(10) + "7" + sp(9) + "8" + sp(9) + "9" + sp(9) + "1" +
                             "note" + sp(20);
    ASSERT_EQ(full.size(), 164u);
    putData("TEMP.DAT", "ABC" + sp(21) + sp(6) + crlf() + full.substr(0, 164) + crlf() +
                            full.substr(0, 95) + crlf() + full.substr(0, 30) + crlf());
    conversion.CommaFileCreation("AB12.MST");
    EXPECT_EQ(dataBytes("TempAB12.MST"), "ABC,\r\n"
                                         "T,Name,K1,S,05/03/2011,,7,8,9,1,note\r\n"
                                         "T,Name,K1,S,05/03/,0,0,0,0,0,0\r\n"
                                         "T,Name,,,,0,0,0,0,0,0\r\n");
    EXPECT_TRUE(boxes.shown.empty());

    putData("TEMP.DAT", sp(24) + "  XYZ " + crlf());
    conversion.CommaFileCreation("AB12.MST");
    EXPECT_EQ(dataBytes("TempAB12.MST"), ",  XYZ\r\n");
}

TEST_F(StagingTest, CommaWorkFileWithoutTempDat) {
    putData("TempAB.MST", "old");
    conversion.CommaFileCreation("AB.MST");
    EXPECT_FALSE(exists("TempAB.MST"));
    expectOneBox(" No Data in the file", MsgIcon::Information, kAppTitle);
}

} // namespace
} // namespace kelvarin::test
