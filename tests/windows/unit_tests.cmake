# The unit tests in the Windows build: GoogleTest cross-built from the
# sources Debian ships (package googletest), and the list of test programs
# tests/windows/run.sh runs under Wine.

# GoogleTest's own warnings are not ours: its headers count as the system's
# and its library builds with the compiler's flags only.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(DBF2CSV_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources")
add_subdirectory(${DBF2CSV_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
set_property(TARGET gtest PROPERTY COMPILE_OPTIONS "")

# dbf2csv_windows_test(name skip): puts the test program `name` on the list,
# with the gtest patterns `skip` left out of its run.
function(dbf2csv_windows_test name skip)
  if(skip)
    list(JOIN skip ":" filter)
    set(filter "-${filter}")
  else()
    set(filter "*")
  endif()
  set_property(GLOBAL APPEND PROPERTY DBF2CSV_WINDOWS_TESTS "${filter} $<TARGET_FILE:${name}>")
  set_property(GLOBAL APPEND PROPERTY DBF2CSV_WINDOWS_TEST_TARGETS ${name})
endfunction()

# dbf2csv_windows_test_list(): writes the list (unit_tests.txt in the build
# tree, one "FILTER PROGRAM" a line) and makes windows_unit_tests, which the
# suite's programs (windows_test_programs) include, build every program on
# it.
function(dbf2csv_windows_test_list)
  get_property(lines GLOBAL PROPERTY DBF2CSV_WINDOWS_TESTS)
  get_property(targets GLOBAL PROPERTY DBF2CSV_WINDOWS_TEST_TARGETS)
  list(JOIN lines "\n" text)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/unit_tests.txt CONTENT "${text}\n")
  add_custom_target(windows_unit_tests DEPENDS ${targets})
  add_dependencies(windows_test_programs windows_unit_tests)
endfunction()
