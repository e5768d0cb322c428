# A megabyte each way through the simulated terminal: the link's own time per report.
kelvarin_add_bench(usb_bench ${CMAKE_CURRENT_LIST_DIR}/UsbTransferBench.cpp)
