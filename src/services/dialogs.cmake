# Message dialog and geometry-saving windows.
# Widget-free rules of the message dialog: texts, result codes, button places, icon strip.
add_library(zorbit_dialog_logic STATIC msgDialogTypes.h msgDialogTypes.cpp iconStrip.h iconStrip.cpp)
target_include_directories(zorbit_dialog_logic PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbit_dialog_logic PUBLIC Qt6::Gui)

add_library(zorbit_dialogs STATIC msgDialogForm.h msgDialogForm.cpp saveForm.h saveForm.cpp)
target_link_libraries(zorbit_dialogs PUBLIC zorbit_dialog_logic zorbit_translator zorbit_forms Qt6::Widgets)
