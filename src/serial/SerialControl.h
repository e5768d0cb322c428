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

    // Opens (true) or closes (false) the port with the values set before. A port whose link
    // was lost is opened again by opening it; a failed opening leaves it lost.
    virtual void setPortOpen(bool open) = 0;
    // False also once the link was lost.
    virtual bool portOpen() const = 0;

    // Bytes received and waiting. When none wait it first blocks a few milliseconds at most
    // for input, so a loop that polls it costs no processor time. Setting it to 0 discards them.
    virtual int inBufferCount() = 0;
    virtual void setInBufferCount(int n) = 0;

    // Bytes handed over with setOutput() that have not yet left the port: those the control
    // still holds and those in the driver's queue. When some remain it first blocks a few
    // milliseconds at most for them to leave, so a loop that polls it costs no processor time.
    virtual int outBufferCount() = 0;
    // Setting it to 0 discards bytes queued but not yet sent. Bytes the driver refused for a
    // moment are handed over all the same: the call first blocks until the driver has taken
    // them, or has taken none of them for a quarter of a second.
    virtual void setOutBufferCount(int n) = 0;

    // Hands the bytes of `data` to the port's driver without waiting for them to leave it.
    virtual void setOutput(const std::string& data) = 0;

    // Takes up to InputLen waiting bytes; empty when none wait (after the same brief wait as
    // inBufferCount()).
    virtual std::string input() = 0;

    // Once outBufferCount() is 0: blocks until the last bytes have left the port's hardware (a
    // UART's FIFO, an adapter's transfer in flight), which the driver bounds by the few bytes
    // left. Returns true at once when nothing was written since the last drain; false when the
    // port reports a failure.
    virtual bool drainOutput() = 0;

    // True once the port has shown a hang-up: the device went away (a USB-serial adapter pulled
    // out, the far end of a pseudo-terminal closed), whether a command was waiting or the
    // program was at rest. The device is then let go, so nothing watches it; until the port is
    // closed or opened again, its reads find nothing, its writes go nowhere and its drains
    // fail, without a run-time error. A driver that refuses a write for a moment has not hung
    // up: the port stays open and the bytes leave, in order, once the driver takes them.
    virtual bool linkLost() = 0;
};

} // namespace kelvarin
