# SPDX-License-Identifier: GPL-3.0-or-later
# Every program linked for Windows carries cmake/win32/calvyx.manifest (UTF-8 as the
# process's code page). The resource is compiled here, when CMake configures (again
# whenever the manifest changes), and handed to every program's link.
set(manifest ${CMAKE_CURRENT_LIST_DIR}/win32/calvyx.manifest)
set(manifest_rc ${CMAKE_BINARY_DIR}/manifest/calvyx-manifest.rc)
set(manifest_obj ${CMAKE_BINARY_DIR}/manifest/calvyx-manifest.o)
# 1 = the process's own manifest, 24 = RT_MANIFEST.
file(CONFIGURE OUTPUT ${manifest_rc} CONTENT "1 24 \"${manifest}\"\n")
execute_process(COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${manifest_rc} -o ${manifest_obj}
  RESULT_VARIABLE manifest_result ERROR_VARIABLE manifest_error)
if(NOT manifest_result EQUAL 0)
  message(FATAL_ERROR "The Windows manifest does not compile: ${manifest_error}")
endif()
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manifest})
# Programs only: a static library is never linked, a DLL has no process manifest.
add_link_options("$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${manifest_obj}>")
