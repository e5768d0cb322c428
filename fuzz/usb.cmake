# Arbitrary report streams into the USB receive through the fake library and clock.
kelvarin_add_fuzzer(usb_receive_fuzzer 25 ${CMAKE_CURRENT_LIST_DIR}/UsbReceiveFuzzer.cpp)
