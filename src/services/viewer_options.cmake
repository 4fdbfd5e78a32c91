# Log viewer window and options dialog.
# Widget-free filter rule of the log viewer.
add_library(zorbit_log_filter STATIC logFilter.h logFilter.cpp)
target_include_directories(zorbit_log_filter PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_log_filter PUBLIC Qt6::Core)

add_library(zorbit_log_viewer STATIC logFileForm.h logFileForm.cpp logFileForm.ui)
target_link_libraries(zorbit_log_viewer PUBLIC
  zorbit_log_filter zorbit_log zorbit_dialogs zorbit_translator Qt6::Widgets)

# zorbit_shell (src/app) gives the style list.
add_library(zorbit_options STATIC
  categoryPanel.h categoryPanel.cpp options_frm.h options_frm.cpp options_frm.ui)
target_include_directories(zorbit_options PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_options PUBLIC
  zorbit_dialogs zorbit_settings zorbit_translator zorbit_shell Qt6::Widgets)
