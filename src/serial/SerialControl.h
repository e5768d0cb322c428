#pragma once

#include <string>

namespace kelvarin {

// How Input() hands out the bytes it takes. Both modes give the same bytes, one char per byte;
// the mode is kept because the protocol switches it around packets.
enum class InputMode { Text = 0, Binary = 1 };

// The serial communications control: the property surface the serial link uses. Reception is
// polled; no events. Every byte passes unchanged both ways. An operation the port cannot carry
// out (no such port, port in use, settings refused, port closed) throws RuntimeError.
class SerialControl {
public:
    virtual ~SerialControl() = default;

    // Port number 1 to 9; takes effect at the next opening. Not allowed while open.
    virtual void setCommPort(int port) = 0;
    virtual int commPort() const = 0;

    // "baud,parity,databits,stopbits", e.g. "57600 ,N,8,1"; blanks after the baud are allowed.
    virtual void setSettings(const std::string& settings) = 0;
    virtual std::string settings() const = 0;

    // The most bytes one Input() takes; 0 means all that wait.
    virtual void setInputLen(int n) = 0;
    virtual void setInputMode(InputMode mode) = 0;
    virtual InputMode inputMode() const = 0;

    // Event thresholds; only 0 (no events) is used.
    virtual void setRThreshold(int n) = 0;
    virtual void setSThreshold(int n) = 0;

    // Opens (true) or closes (false) the port with the values set before.
    virtual void setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;

    // Bytes received and waiting. When none wait it first blocks a few milliseconds at most
    // for input, so a loop that polls it costs no processor time. Setting it to 0 discards them.
    virtual int inBufferCount() = 0;
    virtual void setInBufferCount(int n) = 0;

    // Setting it to 0 discards bytes queued but not yet sent.
    virtual void setOutBufferCount(int n) = 0;

    // Hands the bytes of `data` to the port's driver without waiting for them to leave it.
    virtual void setOutput(const std::string& data) = 0;

    // Takes up to InputLen waiting bytes; empty when none wait (after the same brief wait as
    // inBufferCount()).
    virtual std::string input() = 0;

    // Blocks until every byte written has left the port (bounded by the port's own time-out).
    // Returns at once when nothing was written since the last drain.
    virtual void drainOutput() = 0;
};

} // namespace kelvarin
