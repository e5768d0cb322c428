# Arbitrary bytes as a master file through the whole Download conversion chain.
kelvarin_add_fuzzer(master_file_fuzz 25 ${CMAKE_CURRENT_LIST_DIR}/MasterFileFuzz.cpp)
