#include "serial/FileTransfer.h"

#include "platform/RuntimeError.h"
#include "serial/ModTrans.h"
#include "serial/PacketLayer.h"
#include "settings/DiskSync.h"
#include "settings/ReceivedFile.h"
#include "settings/TextFileService.h"
#include "settings/mdlLoadSetup.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace kelvarin::ModTrans {

namespace fs = std::filesystem;

namespace {

// The one transfer file: the source being sent, or TEMPFILE.BIN being received.
constexpr int kTransferFileNumber = 1;
std::fstream g_transferFile;
ReceivedFile* g_receiving = nullptr;

void openTransferFile(const fs::path& path, std::ios::openmode mode) {
    errno = 0;
    g_transferFile.open(path, mode | std::ios::binary);
    if (!g_transferFile.is_open())
        throwFileError(path, errno);
    gFileNum = kTransferFileNumber;
}

// Closes the source on every way out of SendFile, exceptions included.
struct SourceCloser {
    ~SourceCloser() { CloseTransferFile(); }
};

std::uint8_t byteOf(const std::string& text, int offset) {
    return static_cast<std::uint8_t>(text.at(static_cast<std::size_t>(offset)));
}

} // namespace

fs::path TransferPath(const std::string& name) {
    return fs::path(mdlLoadSetup::GetAppPath()) / name;
}

void CloseTransferFile() {
    if (g_transferFile.is_open())
        g_transferFile.close();
    g_transferFile.clear();
    gFileNum = -1;
}

bool IsTransferFileOpen() {
    return g_transferFile.is_open() || (g_receiving != nullptr && g_receiving->isOpen());
}

int SendFile() {
    gPacketNo = 0;
    gLastFlag = kMoreBlocks;
    gStatusText = "Sending File " + gFileName;

    const fs::path source = TransferPath(gFileName);
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) {
        SendByte(kFileMissing);
        return kResultNotFound;
    }
    SourceCloser closer;
    openTransferFile(source, std::ios::in);
    SendByte(kFileOpened);

    for (;;) {
        ++gPacketNo;
        gDataBlock.assign(TransferPacket::kDataBytes, '\0');
        g_transferFile.read(gDataBlock.data(), TransferPacket::kDataBytes);
        const auto got = static_cast<std::int32_t>(g_transferFile.gcount());
        if (g_transferFile.bad())
            throw RuntimeError(kErrPathFileAccess, "Could not read " + source.string());
        // A short read ends the file. A file whose length is a multiple of 896 ends with an
        // empty last block.
        if (got < TransferPacket::kDataBytes) {
            gBlockSize = got;
            gLastFlag = kLastBlock;
        } else {
            gBlockSize = TransferPacket::kDataBytes;
        }
        BuildPacketHeader(gBlockSize, gPacketNo, gLastFlag);

        const int sent = SendPacket();
        if (sent == kResultPacketFailed || sent == kResultNoAnswer) {
            CloseTransferFile();
            gStatusText = "Err Transfer: Send repeated " + std::to_string(gAttempt) + " times ";
            return sent;
        }
        if (gLastFlag == kLastBlock) {
            const int result = ConfirmSentFile(static_cast<std::int16_t>(gPacketNo));
            CloseTransferFile();
            return result;
        }
        gStatusText = "Send Packet No: " + std::to_string(gPacketNo);
    }
}

int ConfirmSentFile(std::int16_t packetCount) {
    if (WaitForBell() != kResultCalled)
        return kResultNoAnswer;
    std::uint8_t b = 0;
    if (!ReadByte(b))
        return kResultNoAnswer;
    if (b != kCountFollows)
        return kResultBadCountStart;

    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (ReadByte(low))
        ReadByte(high);
    if (high >= 0x80)
        throw RuntimeError(kErrOverflow);
    const int count = high * 256 + low;

    if (count == packetCount) {
        SendByte(kCountMatches);
        return kResultConfirmed;
    }
    SendByte(kCountDiffers);
    return kResultNoAnswer;
}

int ReceiveFile() {
    gRxByte = 0;
    if (!ReadByte(gRxByte) || gRxByte == kFileMissing)
        return kResultNotFound;
    if (gRxByte == kFileSystemError)
        return kResultFileSystemError;

    gBlockSize = 0;
    gPacketNo = 0;
    // TEMPFILE.BIN replaces gFileName only when it was written whole; every other way out,
    // exceptions included, leaves neither an open handle nor a stray copy.
    ReceivedFile file(mdlLoadSetup::GetAppPath(), gFileName);
    struct Receiving {
        explicit Receiving(ReceivedFile& f) { g_receiving = &f; }
        ~Receiving() {
            g_receiving = nullptr;
            gFileNum = -1;
        }
    } receiving(file);

    for (;;) {
        const int received = ReceivePacket();
        if (received != kResultAccepted)
            return received;

        ++gPacketNo;
        if (gPacketNo == 1) {
            file.open();
            gFileNum = kTransferFileNumber;
        }

        if (BytesToInt(gRecvBuf.substr(TransferPacket::kOffPacketNo, 2)) != gPacketNo)
            return kResultPacketFailed;
        gBlockSize = BytesToInt(gRecvBuf.substr(TransferPacket::kOffBlockSize, 2));
        // A size the packet cannot hold marks a broken packet; never read past its data.
        if (gBlockSize < 0 || gBlockSize > TransferPacket::kDataBytes)
            return kResultPacketFailed;

        if (gBlockSize == TransferPacket::kDataBytes) {
            for (int i = 0; i < TransferPacket::kDataBytes; ++i)
                gRecvData[static_cast<std::size_t>(i)] =
                    byteOf(gRecvBuf, TransferPacket::kOffData + i);
        }
        file.write(gRecvBuf.substr(TransferPacket::kOffData, static_cast<std::size_t>(gBlockSize)));

        if (byteOf(gRecvBuf, TransferPacket::kOffLastFlag) == kLastBlock) {
            // A file the disk did not take whole fails here, before the terminal is told the
            // count, and never takes the older copy's place. A whole file takes its place, on
            // the disk itself, before the count, which can take seconds and after which the
            // terminal may drop its copy: a crash or power cut then must not leave it only in
            // TEMPFILE.BIN, which the next reception empties. Every outcome keeps it in place.
            file.close();
            gFileNum = -1;
            file.putInPlace();
            SyncToDisk(file.target());
            return ConfirmReceivedFile();
        }
    }
}

int ConfirmReceivedFile() {
    if (CallDevice() != kResultAnswered)
        return kResultNoAnswer;
    if (gPacketNo > 0xFFFF)
        throw RuntimeError(kErrOverflow);
    SendByte(kCountFollows);
    SendByte(static_cast<std::uint8_t>(gPacketNo & 0xFF));
    SendByte(static_cast<std::uint8_t>((gPacketNo >> 8) & 0xFF));

    std::uint8_t answer = 0;
    if (!ReadByte(answer))
        return kResultNoAnswer;
    return answer == kCountDiffers ? kResultCountRefused : kResultConfirmed;
}

} // namespace kelvarin::ModTrans
