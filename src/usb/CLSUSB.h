#pragma once

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressBar.h"
#include "usb/HidLibrary.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace kelvarin {

namespace test {
class CLSUSBProbe;
}

// The PC's end of the USB link to the terminal: finds and opens it among the HID devices and
// carries command words, the clock and whole files in reports of 64 data bytes. Every wait for
// the terminal ends after 5 seconds without the awaited report; each exchange starts with a
// one-second pause during which the window's events are handled, as in every other wait. Before
// a request that awaits an answer, reports still queued from before are dropped, so that no
// earlier report passes for the answer. Texts are byte strings: bytes 0 to 255 pass unchanged.
class CLSUSB {
public:
    // The parts are borrowed and must outlive the object.
    CLSUSB(HidLibrary& hid, Clock& clock, EventPump& pump, MessageBoxes& boxes);

    // Lists the HID devices and opens the first whose device name is "VORIXAN" or
    // "KLOVEDRASTIN1" and whose maker is "MERIDOCK" (compared upper-cased). True when it was
    // opened; the connect message has then been sent. False sends nothing and shows nothing.
    bool GetDevices();

    // Sends the disconnect message. Always false; the device stays open.
    bool DisconnectUSB();

    // FileName (any case) is a command word ("SHUTDOWN", "REMOVEDATA", "STATUSINFO",
    // "FORMATMAC", "UNLINKFILES": sent, no reply awaited, true), "DATEANDTIME-" and 14 digits
    // (false only when the terminal answers without "Success"), or a file in Source (empty:
    // the program folder) sent in 63-byte reports. A missing file shows "File not found"
    // and gives false; an empty file, or a missing acknowledgement, gives false.
    bool WriteToUSB(const std::string& FileName, const std::string& Source,
                    ProgressBar* Progressbar);

    // Fetches the terminal's file FileName (upper-cased) into Destination / the upper-cased name.
    // False when the terminal does not answer in time, announces a size that is not a number
    // from 0 to 2147483647, skips a report number or the file cannot be written whole; a report
    // number already taken is dropped. The file arrives in Destination / "TEMPFILE.BIN" and
    // replaces an older copy only when it arrived whole and was closed without an error; a
    // failed receive leaves the older copy (or no file) and no TEMPFILE.BIN.
    bool ReadFromUSB(const std::string& FileName, const std::string& Destination,
                     ProgressBar* Progressbar);

private:
    friend class test::CLSUSBProbe;
    using Time = std::chrono::steady_clock::duration;

    // Sends m_OutData without its last character as one report, then empties it.
    void WriteReport();
    // Yields once, then reads one report into m_InData (64 bytes; NULs when nothing came).
    void ReadReport();
    // True when more than Seconds have passed since StartTime.
    bool IsUsbTimedOut(Time StartTime, std::int32_t Seconds);
    // Returns once Seconds have passed, yielding at least every 10 ms meanwhile.
    void UsbDelay(double Seconds);
    // Text before the first Delim; empty when Delim is absent.
    static std::string LeftOf(const std::string& Text, const std::string& Delim);
    // -1 for an empty text, else its first 4 bytes as a little-endian signed 32-bit number.
    static std::int32_t UsbBytesToLong(const std::string& Text);

    // Reads, without waiting, the reports already queued (at most usb::kStaleReportLimit) and
    // drops them, so that none is taken for the answer to the request that follows.
    void discardStaleReports();
    // Waits for a report holding `letter`; false after 5 seconds without one.
    bool awaitLetter(char letter, Time start);
    bool sendDateTime(const std::string& name);
    bool sendFile(const std::string& name, const std::string& source, ProgressBar* bar);
    bool receiveFile(const std::string& name, const std::string& destination, std::int64_t size,
                     ProgressBar* bar);
    bool awaitSizeReply(std::int64_t& size);
    void clearReports();

    HidLibrary& m_hid;
    Clock& m_clock;
    EventPump& m_pump;
    MessageBoxes& m_boxes;

    std::int32_t m_PacketCount = 0;
    std::string m_OutData;
    std::string m_InData;
    std::int32_t m_SelA = 0;
    std::int32_t m_SelB = 0;
    std::string m_MakerName;
    std::string m_DeviceText;
    std::string m_DeviceName;
};

} // namespace kelvarin
