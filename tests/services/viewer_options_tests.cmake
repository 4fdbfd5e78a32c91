# Log viewer (filter rule and window) and options dialog.
find_package(Qt6 REQUIRED COMPONENTS Test)
zorbit_add_test(test_log_filter
  SOURCES test_log_filter.cpp
  LIBS zorbit_log_filter)
zorbit_add_test(test_log_form QT_MAIN
  SOURCES test_log_form.cpp test_log_support.h dialog_driver.h
  LIBS zorbit_log_viewer Qt6::Test)
zorbit_add_test(test_options_form QT_MAIN
  SOURCES test_options_form.cpp dialog_driver.h
  LIBS zorbit_options Qt6::Test)
