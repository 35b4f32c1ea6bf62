# tessaly_add_test(NAME SOURCES file... [LIBS lib...] [LABELS label...])
# Builds one GoogleTest executable and registers its cases with CTest.
# Label GL tests "gl" and whole-program tests "e2e": they need a display
# (tests/run starts Xvfb when none is set) and run with the silent audio driver;
# tests/run also sets TESSALY_BATCH so that no message box waits for a click.
# Tests that open windows share one display and the CPU the software renderer
# spreads over, so they take the "display" lock and run one at a time; the
# others run beside them.
set(TESSALY_TEST_TMPDIR ${CMAKE_BINARY_DIR}/test-tmp)
file(MAKE_DIRECTORY ${TESSALY_TEST_TMPDIR})

function(tessaly_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TESSALY_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TESSALY_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # GoogleTest's TempDir() is TEST_TMPDIR when set: a folder of this build, so
  # that builds testing side by side on one machine never share a file name.
  set(properties ENVIRONMENT "SDL_AUDIODRIVER=dummy"
    ENVIRONMENT_MODIFICATION "TEST_TMPDIR=set:${TESSALY_TEST_TMPDIR}/")
  if("gl" IN_LIST ARG_LABELS OR "e2e" IN_LIST ARG_LABELS)
    list(APPEND properties RESOURCE_LOCK display)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ${properties}
    DISCOVERY_TIMEOUT 60)
  # The labels are given to the cases CTest found, from a file it reads after
  # theirs: through the discovery's properties two labels would reach CTest as
  # a label and a property name, and the pairs after them (the display lock)
  # would be read askew.
  if(ARG_LABELS)
    set(label_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${label_file} "if(${name}_TESTS)\n"
      "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${ARG_LABELS}\")\n"
      "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_file})
  endif()
endfunction()

# tessaly_add_fuzzer(NAME SOURCES file... [LIBS lib...])
# A libFuzzer target (clang, -DTESSALY_FUZZ=ON). The code under test is listed
# among its sources so that it carries the fuzzer's coverage instrumentation.
function(tessaly_add_fuzzer name)
  if(NOT TESSALY_FUZZ)
    return()
  endif()
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TESSALY_FUZZ needs clang (configure with CXX=clang++)")
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -UNDEBUG)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()
