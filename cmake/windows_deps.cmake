# SPDX-License-Identifier: GPL-3.0-or-later
# The header-only libraries and GoogleTest for a Windows cross-build. Debian installs
# them for this machine only: the headers are taken from their own folders (never all of
# /usr/include, whose C library headers are not MinGW's) and GoogleTest is compiled from
# its sources with the cross-compiler (its own CMake names the GTest:: targets).
set(VAPRON_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
foreach(folder CLI nlohmann)
  if(NOT EXISTS ${VAPRON_HOST_HEADERS}/${folder})
    file(MAKE_DIRECTORY ${VAPRON_HOST_HEADERS})
    file(CREATE_LINK /usr/include/${folder} ${VAPRON_HOST_HEADERS}/${folder} SYMBOLIC)
  endif()
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${VAPRON_HOST_HEADERS})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${VAPRON_HOST_HEADERS})

if(VAPRON_BUILD_TESTS)
  set(VAPRON_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${VAPRON_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# UTF-16 Win32 calls are named explicitly (CreateFileW), and <windows.h> keeps min and
# max alone.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)

# Every program of the Windows build runs with UTF-8 as its ANSI code page.
enable_language(RC)
set(VAPRON_UTF8_MANIFEST ${CMAKE_SOURCE_DIR}/cmake/windows/utf8.rc)
