#include "serial/CommandExchange.h"

#include "platform/RuntimeError.h"
#include "serial/CommandText.h"
#include "serial/FileTransfer.h"
#include "serial/ModTrans.h"
#include "serial/PacketLayer.h"
#include "serial/RecoverData.h"
#include "settings/mdlLoadSetup.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace kelvarin::ModTrans {

std::int16_t gCommandNo = 0;

namespace {

constexpr int kCommandTimeoutSecs = 10;
constexpr int kRefusalCheckSecs = 1;

enum Command : int {
    kReceiveFile = 1,
    kSendFile = 2,
    kSetClock = 5,
    kNoOp7 = 7,
    kNoOp50 = 50,
    kRecoverFile = 13,
};

// Ends the exchange: the file layer's file is closed on every way out, exceptions included.
struct TransferFileCloser {
    ~TransferFileCloser() { CloseTransferFile(); }
};

bool succeed() {
    gStatusText = "Success";
    return true;
}

bool receiveNamedFile(bool fileSystemErrorText) {
    switch (ReceiveFile()) {
    case kResultConfirmed:
        return succeed();
    case kResultNotFound:
        gStatusText = "File Not Found";
        return false;
    case kResultFileSystemError:
        if (fileSystemErrorText)
            gStatusText = "FS Error";
        return false;
    default:
        return false;
    }
}

bool sendNamedFile() {
    gTimeoutSecs = kRefusalCheckSecs;
    gRxByte = 0;
    if (ReadByte(gRxByte) && gRxByte == kRefused) {
        gStatusText = "Transaction File Not Uploaded";
        return false;
    }
    gTimeoutSecs = kCommandTimeoutSecs;
    return SendFile() == kResultConfirmed && succeed();
}

} // namespace

std::string DateTimeCommand(const LocalDateTime& t) {
    auto byte = [](int v) { return static_cast<char>(static_cast<std::uint8_t>(v)); };
    std::string text = "5 ";
    text += byte(t.day);
    text += byte(t.month);
    text += IntToBytes(static_cast<std::int16_t>(t.year));
    text += byte(t.hour);
    text += byte(t.minute);
    text += byte(t.second);
    text += '\0';
    return text;
}

bool ExecuteCommand(const std::string& command) {
    gTimeoutSecs = kCommandTimeoutSecs;
    ClearCommBuffers();
    CloseTransferFile();
    TransferFileCloser closer;

    if (!CheckConnection()) {
        gStatusText = "Check Connection ! GOING TO ABORT...";
        return false;
    }

    const std::string text = mdlLoadSetup::TrimBlanks(command);
    if (text.size() > static_cast<std::size_t>(TransferPacket::kDataBytes))
        throw RuntimeError(kErrInvalidArgument, "Command longer than one packet");
    gBlockSize = static_cast<std::int32_t>(text.size());
    gDataBlock =
        text +
        std::string(static_cast<std::size_t>(TransferPacket::kDataBytes) - text.size(), '\0');
    BuildPacketHeader(gBlockSize, 1, kMoreBlocks);
    if (SendPacket() != kResultAccepted) {
        gStatusText = "Erroneous Connection... ";
        return false;
    }

    const CommandFields fields = SplitCommandText(text);
    gCommandNo = fields.number;
    if (fields.fileName)
        gFileName = *fields.fileName;
    if (fields.timeoutSecs)
        gTimeoutSecs = *fields.timeoutSecs;

    switch (gCommandNo) {
    case kReceiveFile:
        return receiveNamedFile(true);
    case kSendFile:
        return sendNamedFile();
    case kSetClock:
    case kNoOp7:
    case kNoOp50:
        return succeed();
    case kRecoverFile:
        gFileName = "I2C.DAT";
        return receiveNamedFile(true);
    default:
        return false;
    }
}

bool RunTransfer(const std::string& action, const std::string& folder, std::string& errorText,
                 ProgressBar& progress) {
    errorText.clear();
    mdlLoadSetup::SetAppPath(folder);
    // A port whose device went away was let go; its number opens it again, so an adapter
    // plugged back in serves without a restart. When it cannot be opened, the run-time error
    // says why.
    if (CommCtl().linkLost())
        CommCtl().setPortOpen(true);
    std::string word = action;
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });

    // Each step sets the progress value, then runs its command; the first failure ends it.
    auto runSteps = [&](int first, const std::vector<std::pair<std::string, int>>& steps) {
        progress.setValue(first);
        for (const auto& [command, after] : steps) {
            if (!ExecuteCommand(command))
                return false;
            progress.setValue(after);
        }
        return true;
    };

    bool result = false;
    if (word == "DOWNLOAD") {
        result = runSteps(20, {{"2 MASTER.DAT", 40},
                               {"2 AGENT.DAT", 60},
                               {"2 ACC_DETA.DAT", 80},
                               {"2 ACCTYPE.DAT", 90},
                               {"2 BANK.COL", 100}});
    } else if (word == "UPLOAD") {
        result = runSteps(25, {{"1 AGENT.DAT", 50}, {"1 MASTER.DAT", 75}, {"1 MASTER.TRN", 100}});
    } else if (word == "SETDATEANDTIME") {
        result = ExecuteCommand(DateTimeCommand(gClock->localNow()));
    } else if (word == "CHECKSTATUS") {
        result = ExecuteCommand("1 STATUS.DAT");
    } else if (word == "RECOVERDATA") {
        result = ExecuteCommand("13");
        if (result)
            RecoverData();
    }
    errorText = gStatusText;
    return result;
}

} // namespace kelvarin::ModTrans
