# A run at the fastest pace through the real window; it controls the simulated adapter through
# the tests' loader, which never links the simulator.
target_sources(orvel-bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_pace.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/sim_control.cpp)
target_include_directories(orvel-bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${PROJECT_SOURCE_DIR}/sim)
target_link_libraries(orvel-bench PRIVATE zorbit_session ${CMAKE_DL_LIBS})
