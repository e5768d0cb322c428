# The upload text file for 10,000 transactions against 32,767 master records, beside a plain
# read-and-write baseline of the same files.
kelvarin_add_bench(upload_bench ${CMAKE_CURRENT_LIST_DIR}/UploadBench.cpp)
