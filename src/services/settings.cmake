# Settings store (widget-free part).
add_library(zorbit_settings STATIC
  IniHandler.cpp IniHandler_properties.cpp colorText.cpp settingsNumbers.cpp form_bounds.cpp)
target_include_directories(zorbit_settings PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_settings PUBLIC zorbit_utils Qt6::Core)

# Window geometry through the settings store.
add_library(zorbit_forms STATIC IniHandler_forms.cpp)
target_link_libraries(zorbit_forms PUBLIC zorbit_settings Qt6::Widgets)

# Translator; its single instance reports missing keys to the event log.
add_library(zorbit_translator STATIC Translator.cpp)
target_include_directories(zorbit_translator PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_translator PUBLIC zorbit_log zorbit_utils Qt6::Core)
