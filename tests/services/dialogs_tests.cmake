# Message dialog and geometry-saving windows.
find_package(Qt6 REQUIRED COMPONENTS Test)
zorbit_add_test(test_dialog_rules
  SOURCES test_msg_dialog_rules.cpp
  LIBS zorbit_dialog_logic)
zorbit_add_test(test_msg_dialog QT_MAIN
  SOURCES test_msg_dialog.cpp dialog_driver.h
  LIBS zorbit_dialogs Qt6::Test)
add_dependencies(test_msg_dialog zorbit_resources)
zorbit_add_test(test_save_form QT_MAIN
  SOURCES test_save_form.cpp
  LIBS zorbit_dialogs)
