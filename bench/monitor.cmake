# The monitor: one displayed measurement of a long run, with its memory.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_monitor.cpp)
target_link_libraries(orvel-bench PRIVATE zorbit_main_form)
