# Tests of the dialogs, the web pane, the attachment actions, start-up and the language
# modules. Included from CMakeLists.txt (uses velquin_add_qtest).

velquin_add_qtest(ui_attachment_actions_test AttachmentActionsTest.cpp)
velquin_add_qtest(ui_path_dialog_test PathDialogTest.cpp)
velquin_add_qtest(ui_options_dialog_test OptionsDialogTest.cpp)
velquin_add_qtest(ui_web_pane_test WebPaneTest.cpp)
velquin_add_qtest(ui_message_pane_test MessagePaneTest.cpp)
velquin_add_qtest(ui_startup_test StartupTest.cpp)
velquin_add_qtest(ui_translations_test TranslationsTest.cpp)

# Where the build puts the language modules, and the forms whose texts they must cover.
foreach(test ui_startup_test ui_translations_test)
  target_compile_definitions(${test} PRIVATE
    VELQUIN_MODULE_DIR="${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_BINDIR}"
    VELQUIN_FORMS_DIR="${PROJECT_SOURCE_DIR}/resources/forms"
    VELQUIN_TS_DIR="${PROJECT_SOURCE_DIR}/resources/translations")
  add_dependencies(${test} velquin_translations)
endforeach()

# The pictures of docs/screenshots; built on demand and run under a display:
#   xvfb-run -a build/<dir>/tests/ui/velquin-dialog-screenshots docs/screenshots
add_executable(velquin-dialog-screenshots EXCLUDE_FROM_ALL DialogScreenshots.cpp)
target_link_libraries(velquin-dialog-screenshots PRIVATE velquin_ui)
velquin_use_build_modules(velquin-dialog-screenshots)
set_target_properties(velquin-dialog-screenshots PROPERTIES AUTOUIC ON
  AUTOUIC_SEARCH_PATHS ${PROJECT_SOURCE_DIR}/resources/forms)
target_compile_definitions(velquin-dialog-screenshots PRIVATE
  VELQUIN_MODULE_DIR="${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_BINDIR}")
add_dependencies(velquin-dialog-screenshots velquin_translations)

# Keyboard, the open warning, drops, Save as's folder and the About box of the main window.
velquin_add_qtest(ui_window_usability_test WindowUsabilityTest.cpp)
target_compile_definitions(ui_window_usability_test PRIVATE VELQUIN_VERSION="${PROJECT_VERSION}")

# The main window's pictures of docs/screenshots (scripts/screenshots.sh).
add_executable(velquin-window-screenshots EXCLUDE_FROM_ALL WindowScreenshots.cpp)
target_link_libraries(velquin-window-screenshots PRIVATE velquin_ui velquin_test_support Qt6::PrintSupport)
velquin_use_build_modules(velquin-window-screenshots)
target_compile_definitions(velquin-window-screenshots PRIVATE
  VELQUIN_MODULE_DIR="${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_BINDIR}")
add_dependencies(velquin-window-screenshots velquin_translations)
