# 1 MB each way through the simulated terminal on a pseudo-terminal: the program's own time per
# 907-byte packet (the wire itself costs nothing on a pseudo-terminal).
kelvarin_add_bench(SerialTransferBench ${CMAKE_CURRENT_LIST_DIR}/SerialTransferBench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
target_link_libraries(SerialTransferBench PRIVATE Qt6::Core)
