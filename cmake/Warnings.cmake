# SPDX-License-Identifier: GPL-3.0-or-later
# calvyx_warnings: the compiler warnings every target of the project builds with. Each
# library, program, test, bench and fuzz target links it PRIVATE, so the options reach
# the project's own sources only. Qt's and GoogleTest's headers come in as system
# includes (imported targets), so their code does not warn.
#
# -DCALVYX_WERROR=ON turns every warning into an error (CI builds with it: the tree is
# clean with GCC); off by default, so a newer compiler's new warning does not stop a
# build on someone's machine.
option(CALVYX_WERROR "Treat compiler warnings as errors" OFF)

add_library(calvyx_warnings INTERFACE)
target_compile_options(calvyx_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow
  -Wconversion -Wsign-conversion
  -Wold-style-cast
  -Wnon-virtual-dtor -Woverloaded-virtual
  $<$<BOOL:${CALVYX_WERROR}>:-Werror>)
# GCC 12 inlines libstdc++'s string copies at -O3 (the Windows build is Release) and then
# warns of overlaps it made up itself (-Wrestrict on char_traits::copy, GCC bug 105329);
# later compilers do not.
if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(calvyx_warnings INTERFACE -Wno-restrict)
endif()
