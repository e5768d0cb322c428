#include "ProtocolFixtures.h"
#include "serial/CommandExchange.h"
#include "support/MessageBoxRecorder.h"

namespace kelvarin::test {
namespace {

using namespace ModTrans;

// I2C.DAT built field by field at its 1-based positions.
class I2cBuilder {
public:
    I2cBuilder() : m_bytes(1024, '\0') {}

    I2cBuilder& at(std::size_t position, const std::string& bytes) {
        if (m_bytes.size() < position - 1 + bytes.size())
            m_bytes.resize(position - 1 + bytes.size(), '\0');
        m_bytes.replace(position - 1, bytes.size(), bytes);
        return *this;
    }
    I2cBuilder& code(const std::string& c) { return at(20, c); }
    I2cBuilder& recordCount(const std::string& le) { return at(769, le); }
    I2cBuilder& serialBase(const std::string& le) { return at(1021, le); }
    // A record of 32 bytes at 1025 + 32 i.
    I2cBuilder& record(std::size_t i, const std::string& bytes) { return at(1025 + 32 * i, bytes); }
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

// Amount 12345 hundredths; column 2 text of 17; column 1 "AB12"; 07/03/2005 01:02:03; flag 0.
std::string sampleRecord(const std::string& amount = "39 30 00 00",
                         const std::string& column2 = "ACCOUNT123XYZWVUT") {
    return hexBytes(amount) + column2 + "AB12" + "735123" + "0";
}

class RecoverDataConversion : public FakePortTest {
protected:
    void SetUp() override {
        FakePortTest::SetUp();
        gMessageBoxes = &boxes;
    }
    void writeI2c(const I2cBuilder& b) { writeBytes(dataFile("I2C.DAT"), b.bytes()); }
    std::string text(const std::string& name) { return readBytes(dataFile(name)); }

    MessageBoxRecorder boxes;
};

TEST_F(RecoverDataConversion, HeaderAndRecordLines) {
    writeI2c(
        I2cBuilder()
            .code(std::string("ABCD\0\0\0", 7))
            .at(37, hexBytes("3B 4A 02 00")) // 150,075 hundredths
            .at(49, hexBytes("02 01"))       // 258
            .recordCount(hexBytes("02 00 00 00"))
            .serialBase(hexBytes("64 00 00 00")) // 100
            .record(0, sampleRecord())
            .record(1, sampleRecord("00 00 00 00", std::string("SHORT") + std::string(12, '\0'))));
    EXPECT_TRUE(RecoverData());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(text("ABCD.txt"), "ABCD,258,1500.75\r\n"
                                "AB12,ACCOUNT123,123.45,0,07/03/2005,01:02:03,100,Y\r\n"
                                "AB12,SHORT,0.00,0,07/03/2005,01:02:03,101,Y\r\n");
    EXPECT_FALSE(std::filesystem::exists(dataFile("RECOVEREDDATA.DAT")));
    EXPECT_TRUE(std::filesystem::exists(dataFile("I2C.DAT")));
}

TEST_F(RecoverDataConversion, MissingInputShowsFileNotFound) {
    writeBytes(dataFile("RECOVEREDDATA.DAT"), "old work file");
    EXPECT_FALSE(RecoverData());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind("53 , File not found", 0), 0u) << boxes.shown[0].text;
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(boxes.shown[0].title, "");
    EXPECT_FALSE(std::filesystem::exists(dataFile("RECOVEREDDATA.DAT")));
}

TEST_F(RecoverDataConversion, ZeroOrNegativeCountGivesTheHeaderOnly) {
    for (const char* count : {"00 00 00 00", "FF FF FF FF"}) {
        writeI2c(I2cBuilder().code("ZERO").recordCount(hexBytes(count)).record(0, sampleRecord()));
        EXPECT_TRUE(RecoverData());
        EXPECT_EQ(text("ZERO.txt"), "ZERO,0,0\r\n");
    }
}

TEST_F(RecoverDataConversion, CountBeyondTheFileStopsAtItsEndAndSmallerCountStopsEarly) {
    writeI2c(I2cBuilder()
                 .code("MANY")
                 .recordCount(hexBytes("10 27 00 00"))
                 .record(0, sampleRecord())
                 .record(1, sampleRecord()));
    EXPECT_TRUE(RecoverData());
    EXPECT_EQ(text("MANY.txt").size(), std::string("MANY,0,0\r\n").size() + 2 * 50);

    writeI2c(I2cBuilder()
                 .code("FEW")
                 .recordCount(hexBytes("01 00 00 00"))
                 .record(0, sampleRecord())
                 .record(1, sampleRecord()));
    EXPECT_TRUE(RecoverData());
    EXPECT_EQ(text("FEW.txt").size(), std::string("FEW,0,0\r\n").size() + 50);
}

TEST_F(RecoverDataConversion, WideValuesAreCutToTheirWidths) {
    // 1,000,000,000 hundredths = 10000000.00, cut to 10 characters; serial 1,234,567 keeps six.
    writeI2c(I2cBuilder()
                 .code("WIDE")
                 .recordCount(hexBytes("01 00 00 00"))
                 .serialBase(hexBytes("87 D6 12 00"))
                 .record(0, sampleRecord("00 CA 9A 3B")));
    EXPECT_TRUE(RecoverData());
    EXPECT_EQ(text("WIDE.txt"),
              "WIDE,0,0\r\nAB12,ACCOUNT123,10000000.0,0,07/03/2005,01:02:03,123456,Y\r\n");
}

TEST_F(RecoverDataConversion, HeaderAmountWithHighFourthByteKeepsThreeBytes) {
    writeI2c(I2cBuilder().code("AMT").at(37, hexBytes("10 27 00 80"))); // 10,000 -> 100.00
    EXPECT_TRUE(RecoverData());
    EXPECT_EQ(text("AMT.txt"), "AMT,0,100.00\r\n");
}

TEST_F(RecoverDataConversion, NonDigitFieldFailsWithItsMessage) {
    std::string bad = sampleRecord();
    bad[25] = 12; // a day as a byte value
    writeI2c(I2cBuilder().code("BAD").recordCount(hexBytes("01 00 00 00")).record(0, bad));
    EXPECT_FALSE(RecoverData());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "13 , Type mismatch");
    EXPECT_EQ(text("RECOVEREDDATA.DAT"), "BAD,0,0\r\n");
    EXPECT_FALSE(std::filesystem::exists(dataFile("BAD.txt")));
}

TEST_F(RecoverDataConversion, CodeThatWouldLeaveTheDataFolderIsRefused) {
    for (const std::string code : {"../EVIL", "/tmp/x", "A\\B", "C:X", "..", "CON", "lpt1"}) {
        writeI2c(I2cBuilder().code(code));
        boxes.shown.clear();
        EXPECT_FALSE(RecoverData()) << code;
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text.rfind("52 , Bad file name or number", 0), 0u);
        // The work file stays for the user; nothing is written anywhere else.
        EXPECT_TRUE(std::filesystem::exists(dataFile("RECOVEREDDATA.DAT")));
    }
    std::size_t outside = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder.path()))
        outside += e.path().parent_path() != dataFolder() && e.path() != dataFolder();
    EXPECT_EQ(outside, 0u);
    EXPECT_FALSE(std::filesystem::exists("/tmp/x.txt"));
}

TEST_F(RecoverDataConversion, CodeWithACommaNamesTheFileWhole) {
    // The comma stays in the code: the header has one value more, and the file is named after
    // the whole code, not after the text before the comma (another agent's file).
    writeBytes(dataFile("AB.txt"), "agent AB");
    writeI2c(I2cBuilder().code(std::string("AB,CD\0\0", 7)));
    EXPECT_TRUE(RecoverData());
    EXPECT_EQ(text("AB,CD.txt"), "AB,CD,0,0\r\n");
    EXPECT_EQ(text("AB.txt"), "agent AB");
}

TEST_F(RecoverDataConversion, BlankCodeNamesDotTxt) {
    writeI2c(I2cBuilder().code(std::string("  \0 \0\0 ", 7)));
    EXPECT_TRUE(RecoverData());
    EXPECT_TRUE(std::filesystem::exists(dataFile(".txt")));
}

using RecoverDataAction = SimulatedTerminalTest;

TEST_F(RecoverDataAction, FetchesAndConvertsI2cFile) {
    MessageBoxRecorder boxes;
    gMessageBoxes = &boxes;
    sim.files["I2C.DAT"] = I2cBuilder()
                               .code("AGT1")
                               .recordCount(hexBytes("01 00 00 00"))
                               .record(0, sampleRecord())
                               .bytes();
    start();
    std::string error;
    MemoryProgressBar progress;
    EXPECT_TRUE(RunTransfer("RECOVERDATA", dataFolder().string(), error, progress));
    EXPECT_EQ(error, "Success");
    EXPECT_EQ(readBytes(dataFile("AGT1.txt")),
              "AGT1,0,0\r\nAB12,ACCOUNT123,123.45,0,07/03/2005,01:02:03,0,Y\r\n");
    stopTerminal();
    EXPECT_EQ(sim.commands, std::vector<std::string>{"13"});
}

// Command 13 failing: false, its text, and no conversion (which would delete the work file).
class RecoverDataActionFails : public RecoverDataAction {
protected:
    void expectFailure(const std::string& text) {
        MessageBoxRecorder boxes;
        gMessageBoxes = &boxes;
        writeBytes(dataFile("RECOVEREDDATA.DAT"), "kept");
        start();
        std::string error;
        MemoryProgressBar progress;
        EXPECT_FALSE(RunTransfer("recoverdata", dataFolder().string(), error, progress));
        EXPECT_EQ(error, text);
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(readBytes(dataFile("RECOVEREDDATA.DAT")), "kept");
        EXPECT_FALSE(std::filesystem::exists(dataFile("I2C.DAT")));
    }
};

TEST_F(RecoverDataActionFails, TerminalWithoutI2cFile) {
    expectFailure("File Not Found");
}

TEST_F(RecoverDataActionFails, TerminalFileSystemError) {
    sim.faults.fileSystemError = true;
    expectFailure("FS Error");
}

} // namespace
} // namespace kelvarin::test
