# Recorded runs: a long run's export and a retention's removal.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_run_export.cpp)
target_link_libraries(orvel-bench PRIVATE zorbit_run_export)
