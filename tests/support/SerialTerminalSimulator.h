#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kelvarin::test {

// The terminal's end of a serial link: how the simulator gets the PC's bytes and answers.
class TerminalLink {
public:
    virtual ~TerminalLink() = default;

    // Blocks for the PC's next byte. False once the link is stopped.
    virtual bool readByte(std::uint8_t& b) = 0;

    // Sends bytes to the PC.
    virtual void write(const std::string& bytes) = 0;

    // Ends the link as a pulled USB-serial adapter does: where the link can, the PC's port
    // hangs up; otherwise the terminal just falls silent. Nothing is read or written after it.
    virtual void hangUp() {}

    // Whether the test has stopped the link.
    virtual bool stopped() const = 0;
};

// Faults on demand, one named switch each. Packet numbers count the data packets of a file from
// 1; 0 means "never".
struct TerminalFaults {
    // The terminal never answers anything.
    bool silent = false;
    // It accepts the command packet and then falls silent.
    bool silenceAfterCommandPacket = false;
    // PC to terminal: the first `rejectSends` sendings of packet `rejectPacket` (0 the command
    // packet) are answered with '6'.
    int rejectPacket = -1;
    int rejectSends = 0;
    // Terminal to PC: the first `badChecksumSends` sendings of packet `badChecksumPacket` carry
    // a wrong checksum.
    int badChecksumPacket = 0;
    int badChecksumSends = 1;
    // Terminal to PC: busy '4', a stray byte, ready '5' before the call for this packet.
    int busyBeforePacket = 0;
    // Terminal to PC: busy '4' before the call for this packet, a moment later stray bytes back
    // to back for kBusyStreamSeconds (or until the link stops), then ready '5'.
    int busyStreamBeforePacket = 0;
    // Command 2 is refused with E7.
    bool refuseSend = false;
    // Command 2 for this file only is refused with E7.
    std::string refuseSendOf;
    // A file request is answered with E8.
    bool fileSystemError = false;
    // Terminal to PC: the first packet carries number 2.
    bool firstPacketNumberedTwo = false;
    // The end-of-file count does not match: the terminal answers ':' to the PC's count, and
    // reports one packet more than it received.
    bool countMismatch = false;
    // After this many packets of a file the connection drops: the terminal falls silent.
    int dropConnectionAfterPackets = 0;
    // After this many packets of a file the link hangs up (TerminalLink::hangUp) and the
    // terminal is gone.
    int hangUpAfterPackets = 0;
    // PC to terminal: the '3' accepting this packet arrives garbled.
    int garbleReplyToPacket = 0;
    // Terminal to PC: stray bytes between the 08 08 and the F3 of this packet.
    int junkBeforePacketStart = 0;
    // Terminal to PC: one byte in the middle of this packet never arrives.
    int dropByteInPacket = 0;
    // Terminal to PC: the terminal's '3' after the PC's '3' for this packet is lost.
    int loseThreeAfterPacket = 0;
    // Terminal to PC: this packet announces kOversizedBlockSize data bytes.
    int oversizedBlockPacket = 0;
    // PC to terminal: the terminal takes this packet and answers busy '4', a stray byte, ready
    // '5' in place of its '3'.
    int busyInsteadOfReplyToPacket = 0;
    // Command 2: no byte during the PC's one-second refusal check.
    bool quietRefusalCheck = false;
};

inline constexpr std::int16_t kOversizedBlockSize = 1000;
inline constexpr int kBusyStreamSeconds = 5;
inline constexpr std::uint8_t kJunkByte = 0x5A;
inline constexpr std::uint8_t kGarbledByte = 0xA5;
// What the terminal sends before the packets of a file it sends, and during the PC's refusal
// check when it takes a file.
inline constexpr std::uint8_t kFileFollows = '1';
inline constexpr std::uint8_t kSendAccepted = '0';

// The terminal's side of every serial exchange: the link test, command packets, file send and
// receive with their end-of-file counts, the clock command. Files it sends come from `files`;
// files it receives, when the count was confirmed, go there too.
class SerialTerminalSimulator {
public:
    explicit SerialTerminalSimulator(TerminalLink& link) : m_link(link) {}

    // Serves commands until the link stops.
    void run();

    std::map<std::string, std::string> files;
    TerminalFaults faults;

    // Called on the simulator's thread once the PC's end-of-file count for a file the terminal
    // sent has been read, before the terminal answers it: the PC is waiting for that answer.
    std::function<void()> onCountFromPc;

    // What happened, for the tests (read once the simulator has stopped).
    std::vector<std::string> commands;      // command texts received
    std::vector<int> countsFromPc;          // end-of-file counts the PC reported
    std::vector<int> packetsSentToPc;       // packets sent per file, resendings excluded
    int packetSendings = 0;                 // every packet sending to the PC, resendings included
    std::vector<std::uint8_t> countAnswers; // the PC's answers to our counts (0F or ':')
    std::vector<int> packetNumbersFromPc;   // every file packet taken from the PC, in order

    // Whether the terminal is now sending stray bytes through a busy period (any thread).
    bool busyStreaming() const { return m_busyStreaming; }

private:
    std::uint8_t next();
    void send(const std::string& bytes);
    void send(std::uint8_t b) { send(std::string(1, static_cast<char>(b))); }
    void serveCommand();
    bool receivePacket(std::string& packet, int index);
    bool sendPacket(int index, std::int16_t number, std::uint8_t flag, const std::string& block);
    void sendFile(const std::string& name);
    void receiveFile(const std::string& name);
    bool awaitCall();
    void dropIfDue(int packetsDone);
    void streamWhileBusy();

    TerminalLink& m_link;
    bool m_silent = false;
    bool m_pendingCall = false; // a 07 arrived where an 08 was expected: the PC starts again
    int m_rejectsLeft = 0;
    int m_badSumsLeft = 0;
    std::atomic<bool> m_busyStreaming{false};
};

// A packet as the terminal builds it: F3, size, number, flag, 896 data bytes, the sum of
// offsets 0 to 901 (F3 included), F4.
std::string terminalPacket(std::int16_t blockSize, std::int16_t number, std::uint8_t flag,
                           const std::string& block);

} // namespace kelvarin::test
