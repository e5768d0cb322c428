#include "PtyFixture.h"
#include "serial/CommandExchange.h"
#include "serial/PacketLayer.h"

namespace kelvarin::test {
namespace {

using namespace ModTrans;

struct FileCase {
    std::size_t size;
    int packets;
};

// Sizes around the 896-byte block: an empty file and whole blocks end with an empty last
// packet; a remainder travels in the last packet.
class FileTransferOverPort : public PtyTerminalTest,
                             public ::testing::WithParamInterface<FileCase> {};

TEST_P(FileTransferOverPort, PcToTerminalArrivesByteForByte) {
    const auto [size, packets] = GetParam();
    const std::string content = patternBytes(size, 7);
    writeBytes(dataFile("MASTER.DAT"), content);
    start();
    EXPECT_TRUE(ExecuteCommand("2 MASTER.DAT")) << gStatusText;
    EXPECT_EQ(gStatusText, "Success");
    EXPECT_EQ(gPacketNo, packets);
    stopTerminal();
    ASSERT_EQ(sim.files.count("MASTER.DAT"), 1u);
    EXPECT_TRUE(sameBytes(sim.files["MASTER.DAT"], content));
    EXPECT_EQ(sim.countAnswers, std::vector<std::uint8_t>{0x0F});
    EXPECT_TRUE(sameBytes(readBytes(dataFile("MASTER.DAT")), content));
}

TEST_P(FileTransferOverPort, TerminalToPcArrivesByteForByte) {
    const auto [size, packets] = GetParam();
    const std::string content = patternBytes(size, 3);
    sim.files["MASTER.TRN"] = content;
    writeBytes(dataFile("MASTER.TRN"), "older copy");
    start();
    EXPECT_TRUE(ExecuteCommand("1 MASTER.TRN")) << gStatusText;
    EXPECT_EQ(gStatusText, "Success");
    EXPECT_EQ(gPacketNo, packets);
    stopTerminal();
    EXPECT_TRUE(sameBytes(readBytes(dataFile("MASTER.TRN")), content));
    EXPECT_EQ(sim.countsFromPc, std::vector<int>{packets});
    EXPECT_FALSE(std::filesystem::exists(dataFile("TEMPFILE.BIN")));
    EXPECT_FALSE(IsTransferFileOpen());
}

INSTANTIATE_TEST_SUITE_P(Sizes, FileTransferOverPort,
                         ::testing::Values(FileCase{0, 1}, FileCase{896, 2}, FileCase{897, 2},
                                           FileCase{898, 2}, FileCase{5000, 6}));

} // namespace
} // namespace kelvarin::test
