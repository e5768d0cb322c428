# The Download conversion chain on a master file of 32,767 accounts, beside a plain
# read-and-write baseline of the same size.
kelvarin_add_bench(conversion_bench ${CMAKE_CURRENT_LIST_DIR}/ConversionBench.cpp)
