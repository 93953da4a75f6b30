# GoogleTest from Debian's sources, built with the cross toolchain.
if(VARNOK_BUILD_TESTS)
  set(VARNOK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VARNOK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  # The Windows, OLE Automation and GoogleTest headers take most of a test file's compile time: they are
  # precompiled once per build tree, in a target with the test programs' own flags, and every test program
  # reuses that header.
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/varnok_test_pch.cpp CONTENT "")
  add_library(varnok_test_pch STATIC ${CMAKE_BINARY_DIR}/varnok_test_pch.cpp)
  target_link_libraries(varnok_test_pch PRIVATE gmock gtest)
  target_compile_definitions(varnok_test_pch PRIVATE VARNOK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_precompile_headers(varnok_test_pch PRIVATE
      <map> <string> <vector> <gtest/gtest.h> <gmock/gmock.h> <windows.h> <objbase.h> <oleauto.h> <ocidl.h>)
endif()

# varnok_add_gtest(<name> SOURCES ... [LIBS ...])
# One test program per subsystem; ctest runs it under Wine through the emulator wrapper. Every program gets
# the shared test support of tests/support (HRESULT printer, VARIANT builders, fixtures).
function(varnok_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} varnok_test_support gmock gtest_main)
  target_compile_definitions(${name} PRIVATE VARNOK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_precompile_headers(${name} REUSE_FROM varnok_test_pch)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
