# The options dialog, the folder picker, the web pane, the attachment actions, start-up and
# language switching: the parts of velquin_ui outside the main window. Included from
# CMakeLists.txt.

target_sources(velquin_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AboutBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AttachmentActions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Languages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OpenWarning.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fmTNEFReaderOptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowAccessibility.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowKeyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fraGoogleAd.cpp
)
target_link_libraries(velquin_ui PUBLIC velquin_settings)

# The product's web page and the web pane's advertising account are build settings; empty,
# Help opens the user guide installed with the program and the pane's slots stay empty.
set(VELQUIN_WEBSITE "" CACHE STRING "Address of the product's web page (empty: the installed user guide)")
set(VELQUIN_AD_CLIENT "" CACHE STRING "Advertising account of the web pane (empty: no advertisements)")
set(VELQUIN_AD_CHANNEL "" CACHE STRING "Reporting channel of the web pane's advertisements")
set(VELQUIN_AD_SCRIPT "" CACHE STRING "Address of the advertising service's display script")

set(VELQUIN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velquin-reader)
target_compile_definitions(velquin_ui PRIVATE
  VELQUIN_TRANSLATIONS_DIR="${CMAKE_INSTALL_FULLDATADIR}/velquin-reader/translations"
  VELQUIN_USER_GUIDE="${CMAKE_INSTALL_PREFIX}/${VELQUIN_DOC_DIR}/user-guide.html"
  VELQUIN_WEBSITE="${VELQUIN_WEBSITE}"
  VELQUIN_VERSION="${PROJECT_VERSION}"
  VELQUIN_AD_CLIENT="${VELQUIN_AD_CLIENT}"
  VELQUIN_AD_CHANNEL="${VELQUIN_AD_CHANNEL}"
  VELQUIN_AD_SCRIPT="${VELQUIN_AD_SCRIPT}")

# Language modules (velquin-reader.FRA, velquin-reader.CHS beside the programs).
add_subdirectory(${PROJECT_SOURCE_DIR}/resources/translations ${CMAKE_BINARY_DIR}/resources/translations)
add_dependencies(velquin_ui velquin_translations)

# The user guide in each language (docs/guide/*.md) as HTML pages, placed like their install
# (bin/../share/doc); Help opens the one of the language in force.
add_executable(velquin-user-guide ${CMAKE_CURRENT_LIST_DIR}/UserGuideTool.cpp)
target_link_libraries(velquin-user-guide PRIVATE velquin_options Qt6::Gui)
set_target_properties(velquin-user-guide PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set(VELQUIN_USER_GUIDE_OUT)
foreach(suffix "" ".fr" ".zh_CN")
  set(guide_in ${PROJECT_SOURCE_DIR}/docs/guide/user-guide${suffix}.md)
  set(guide_out ${CMAKE_BINARY_DIR}/${VELQUIN_DOC_DIR}/user-guide${suffix}.html)
  add_custom_command(
    OUTPUT ${guide_out}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:velquin-user-guide> ${guide_in} ${guide_out}
    DEPENDS velquin-user-guide ${guide_in}
    COMMENT "Writing the user guide user-guide${suffix}.html"
    VERBATIM)
  list(APPEND VELQUIN_USER_GUIDE_OUT ${guide_out})
endforeach()
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/${VELQUIN_DOC_DIR}/screenshots.stamp
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/screenshots
          ${CMAKE_BINARY_DIR}/${VELQUIN_DOC_DIR}/screenshots
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/${VELQUIN_DOC_DIR}/screenshots.stamp
  COMMENT "Copying the screenshots beside the user guide"
  VERBATIM)
add_custom_target(velquin_user_guide ALL
  DEPENDS ${VELQUIN_USER_GUIDE_OUT} ${CMAKE_BINARY_DIR}/${VELQUIN_DOC_DIR}/screenshots.stamp)
add_dependencies(velquin_ui velquin_user_guide)
install(FILES ${VELQUIN_USER_GUIDE_OUT} DESTINATION ${VELQUIN_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/screenshots DESTINATION ${VELQUIN_DOC_DIR})
