# Settings store: start-up and a write with a very large settings file.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_settings.cpp)
target_link_libraries(orvel-bench PRIVATE zorbit_settings)
