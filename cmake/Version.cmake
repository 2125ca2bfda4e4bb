# The version is written once, as VersionLabel's caption in the start window's
# description (the update check compares against it). The window caption, the
# manifest and the version resource are made from it here, at configure time,
# and the configure fails when they cannot be; editing any input reconfigures.
set(version_form ${PROJECT_SOURCE_DIR}/assets/forms/main_window.json)
set(version_script ${PROJECT_SOURCE_DIR}/tools/version/stamp_version.py)
set(version_manifest ${PROJECT_SOURCE_DIR}/core/velmora.manifest.in)
set(VELMORA_VERSION_DIR ${CMAKE_BINARY_DIR}/gen/version)
execute_process(
  COMMAND ${Python3_EXECUTABLE} ${version_script} ${version_form} ${VELMORA_VERSION_DIR} ${version_manifest}
  OUTPUT_VARIABLE VELMORA_VERSION OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_VARIABLE version_error RESULT_VARIABLE version_result)
if(NOT version_result EQUAL 0)
  message(FATAL_ERROR "The version cannot be made: ${version_error}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${version_form} ${version_script} ${version_manifest})
# The description the form compiler reads: the source with the version filled in.
set(VELMORA_MAIN_WINDOW_FORM ${VELMORA_VERSION_DIR}/main_window.json)
message(STATUS "Velmora version ${VELMORA_VERSION}")
