zorbit_add_test(test_settings
  SOURCES test_ini_handler.cpp
  LIBS zorbit_settings)
zorbit_add_test(test_form_geometry QT_MAIN
  SOURCES test_form_geometry.cpp
  LIBS zorbit_forms)
zorbit_add_test(test_translator
  SOURCES test_translator.cpp
  LIBS zorbit_translator)
add_dependencies(test_translator zorbit_resources)
