# Position changes of the bar display and the gauge.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_widgets.cpp)
target_link_libraries(orvel-bench PRIVATE zorbit_widgets)
