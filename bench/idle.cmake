# A wait for a silent terminal over both links: the share of one core it uses.
kelvarin_add_bench(IdleWaitBench ${CMAKE_CURRENT_LIST_DIR}/IdleWaitBench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
target_link_libraries(IdleWaitBench PRIVATE kelvarin_ui)
