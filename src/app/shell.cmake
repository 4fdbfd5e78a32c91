# Application shell pieces the main window uses: themes, splash window, about box and the
# single-instance guard.
# Widget-free: theme colours and names, version and build texts.
add_library(zorbit_shell_logic STATIC themePalettes.h themePalettes.cpp productInfo.h productInfo.cpp)
target_include_directories(zorbit_shell_logic PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_shell_logic PUBLIC Qt6::Gui)

add_library(zorbit_single_instance STATIC single_instance.h single_instance.cpp)
target_include_directories(zorbit_single_instance PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_single_instance PUBLIC Qt6::Core)

add_library(zorbit_shell STATIC
  themes.h themes.cpp productView.h productView.cpp splash.h splash.cpp about.h about.cpp shell.qrc)
target_link_libraries(zorbit_shell PUBLIC zorbit_shell_logic zorbit_single_instance zorbit_dialogs Qt6::Widgets)
