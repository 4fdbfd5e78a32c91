# Event log and the main-thread call helper it reaches the log viewer through.
find_package(Threads REQUIRED)
add_library(zorbit_log STATIC
  logFile.h logFile.cpp
  logWriter.h logWriter.cpp
  logViewer.h
  ${CMAKE_CURRENT_SOURCE_DIR}/../app/ThreadSynch.h
  ${CMAKE_CURRENT_SOURCE_DIR}/../app/ThreadSynch.cpp)
target_include_directories(zorbit_log PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/../app)
target_link_libraries(zorbit_log PUBLIC zorbit_settings zorbit_utils Qt6::Core Threads::Threads)
