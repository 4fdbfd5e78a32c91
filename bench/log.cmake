# Event log: cost of filing one event and what the writer thread keeps up with.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_log.cpp)
target_link_libraries(orvel-bench PRIVATE zorbit_log)
