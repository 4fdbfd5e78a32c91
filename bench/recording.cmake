# Recorded runs: a long run's export and a retention's removal, the recorder's cost per
# measurement, a recorded run opened into the chart.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_run_export.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bench_recording.cpp)
target_link_libraries(orvel-bench PRIVATE zorbit_run_export zorbit_run_recorder zorbit_recorded_store zorbit_chart)
