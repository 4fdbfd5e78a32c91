# Event log (against a recording viewer) and the main-thread call helper.
zorbit_add_test(test_log QT_MAIN
  SOURCES test_log_lines.cpp test_log_writer.cpp test_log_viewer.cpp test_log_instance.cpp
  LIBS zorbit_log)
zorbit_add_test(test_thread_synch
  SOURCES test_thread_synch.cpp
  LIBS zorbit_thread_synch)
zorbit_add_test(main_thread_call_test
  SOURCES main_thread_call_test.cpp
  LIBS zorbit_main_thread_call)
