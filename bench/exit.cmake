# The program as a process, closed in each state; it needs the program built beside the benchmarks.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_exit.cpp)
target_compile_definitions(orvel-bench PRIVATE ZORBIT_PROGRAM="$<TARGET_FILE:orvel-i2c-zorbit>")
target_link_libraries(orvel-bench PRIVATE Qt6::Core)
add_dependencies(orvel-bench orvel-i2c-zorbit)
