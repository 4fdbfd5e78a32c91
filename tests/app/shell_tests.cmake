# Themes, splash window, about box and the single-instance guard.
zorbit_add_test(test_shell_logic
  SOURCES test_shell_logic.cpp
  LIBS zorbit_shell_logic)
zorbit_add_test(test_themes QT_MAIN
  SOURCES test_themes.cpp
  LIBS zorbit_shell)
zorbit_add_test(test_splash_about QT_MAIN
  SOURCES test_splash_about.cpp
  LIBS zorbit_shell Qt6::Test)

# The guard between real processes: a helper program takes it in a process of its own.
add_executable(single_instance_holder single_instance_holder.cpp)
target_link_libraries(single_instance_holder PRIVATE zorbit_single_instance)
set_target_properties(single_instance_holder PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ZORBIT_BIN_DIR})
zorbit_add_test(test_single_instance QT_MAIN
  SOURCES test_single_instance.cpp
  LIBS zorbit_single_instance)
add_dependencies(test_single_instance single_instance_holder)
