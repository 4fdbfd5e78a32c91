# Blocking calls onto the main thread (no widgets).
add_library(zorbit_main_thread_call STATIC main_thread_call.h main_thread_call.cpp)
target_include_directories(zorbit_main_thread_call PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_main_thread_call PUBLIC Qt6::Core)

# Event log; it reaches the log viewer through the main-thread caller installed at start-up.
find_package(Threads REQUIRED)
add_library(zorbit_log STATIC
  logFile.h logFile.cpp
  logWriter.h logWriter.cpp
  logViewer.h)
target_include_directories(zorbit_log PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_log PUBLIC zorbit_main_thread_call zorbit_settings zorbit_utils Qt6::Core Threads::Threads)
