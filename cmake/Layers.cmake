# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx_layer(NAME FOLDER [USES lower layers...] [QT Qt targets...] [SOURCES extra files...]
#              [POSIX_ONLY files of FOLDER...])
#
# Makes the static library calvyx_NAME from FOLDER/*.cpp. A backend is one file: those
# ending in Win32.cpp are built for Windows only, the POSIX_ONLY ones everywhere else. Its include path is a folder
# in the build tree that holds one link, FOLDER -> the source folder, so that
# "FOLDER/File.h" resolves and nothing else of the tree does. The lower layers it USES
# are linked PRIVATE: their headers are visible to this library only, never passed on
# to the layers above, which must name every layer they include themselves.
function(calvyx_layer name folder)
  cmake_parse_arguments(LAYER "" "" "USES;QT;SOURCES;POSIX_ONLY" ${ARGN})
  set(target calvyx_${name})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  if(WIN32)
    foreach(file ${LAYER_POSIX_ONLY})
      list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${folder}/${file})
    endforeach()
  else()
    list(FILTER sources EXCLUDE REGEX "Win32\\.cpp$")
  endif()
  add_library(${target} STATIC ${sources} ${LAYER_SOURCES})
  calvyx_expose_folder(${target} ${folder})
  foreach(lower ${LAYER_USES})
    target_link_libraries(${target} PRIVATE calvyx_${lower})
  endforeach()
  target_link_libraries(${target} PUBLIC ${LAYER_QT})
  target_link_libraries(${target} PRIVATE calvyx_warnings)
endfunction()

# Gives target (and whoever links it) the include folder that shows FOLDER alone.
function(calvyx_expose_folder target folder)
  string(REPLACE "/" "_" tag ${folder})
  set(dir ${CMAKE_BINARY_DIR}/layers/${tag})
  get_filename_component(parent ${dir}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${dir}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${dir})
endfunction()
