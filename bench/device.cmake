# Transmitter operations against the simulated adapter, loaded from the build's sim folder.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_device.cpp)
target_link_libraries(orvel-bench PRIVATE zorbit_device)
add_dependencies(orvel-bench iowkit_sim)
