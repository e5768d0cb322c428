#pragma once

#include "usb/HidLibrary.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvarin {

// A HID device as the system's enumeration lists it.
struct ListedHidDevice {
    std::string path;
    std::int32_t vendor = 0;
    std::int32_t product = 0;
    std::string deviceName; // product string
    std::string makerName;  // manufacturer string
    std::string deviceText; // serial number
};

// Fills at most `capacity` device records from `devices` and returns how many. The list holds
// far fewer records than a PC may have HID interfaces, so the devices that could be the terminal
// are moved to the front of `devices` first (each group keeps its order): the terminal is listed
// however many other devices there are.
int FillDeviceList(std::vector<ListedHidDevice>& devices, HidDeviceRecord* records, int capacity);

} // namespace kelvarin
