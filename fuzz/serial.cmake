# Arbitrary terminal bytes into the file and command layers, arbitrary I2C.DAT into the
# recovery conversion.
kelvarin_add_fuzzer(SerialReceiveFuzzer 25 ${CMAKE_CURRENT_LIST_DIR}/SerialReceiveFuzzer.cpp)
kelvarin_add_fuzzer(RecoverDataFuzzer 20 ${CMAKE_CURRENT_LIST_DIR}/RecoverDataFuzzer.cpp)
