# GoogleTest for both builds: the system library natively, Debian's source package
# cross-built for Windows. One ctest test per test program.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Optimised for size and without debug information: unoptimised, it carried thousands
  # of template copies into every test program's link, which took four times as long.
  target_compile_options(gtest PRIVATE -Os -g0)
  target_compile_options(gtest_main PRIVATE -Os -g0)
  set(LACQUERON_GTEST_LIBS gtest)
  set(LACQUERON_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  set(LACQUERON_GTEST_LIBS GTest::gtest)
  set(LACQUERON_GTEST_MAIN GTest::gtest_main)
endif()

# Test programs link with lld where it is installed: GNU ld took most of each link's
# time. Under MinGW, GCC's driver is pointed at a collect2 that hands over to lld.
find_program(LACQUERON_LLD ld.lld)
if(LACQUERON_LLD AND WIN32)
  set(LACQUERON_TEST_LINK_OPTIONS -B${CMAKE_SOURCE_DIR}/cmake/lld/)
elseif(LACQUERON_LLD AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(LACQUERON_TEST_LINK_OPTIONS -fuse-ld=lld)
endif()

# lacqueron_test_program(target): how every test program is compiled. Test code is
# built without optimisation and as one translation unit per program: most of its
# compile time is parsing GoogleTest (and windows.h) again for every file, and the
# code under test stays in the optimised libraries.
function(lacqueron_test_program target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE BATCH UNITY_BUILD_BATCH_SIZE 0)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-O0>)
  target_precompile_headers(${target} REUSE_FROM lacqueron_pch_tests)
  # Test code goes without debug information: a failed check names its file and line
  # itself, a sanitizer report still names each function, and the information took a
  # sixth of each compile and, under Wine, where nothing reads it, a quarter of each link.
  target_compile_options(${target} PRIVATE -g0)
  target_link_options(${target} PRIVATE ${LACQUERON_TEST_LINK_OPTIONS})
  if(WIN32)
    target_link_options(${target} PRIVATE -Wl,--strip-debug)
  endif()
endfunction()

# GoogleTest precompiled once, with the flags of every test program.
add_library(lacqueron_pch_tests OBJECT ${CMAKE_SOURCE_DIR}/cmake/pch/Empty.cpp)
target_link_libraries(lacqueron_pch_tests PRIVATE ${LACQUERON_GTEST_LIBS})
target_compile_options(lacqueron_pch_tests PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-O0> -g0)
target_precompile_headers(lacqueron_pch_tests PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch/Tests.h)

# lacqueron_add_test(NAME name SOURCES ... [LIBS ...] [NO_MAIN] [LABELS ...])
function(lacqueron_add_test)
  cmake_parse_arguments(T "NO_MAIN" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  lacqueron_test_program(${T_NAME})
  if(T_NO_MAIN)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${LACQUERON_GTEST_LIBS})
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${LACQUERON_GTEST_MAIN} ${LACQUERON_GTEST_LIBS})
  endif()
  # gtest_main supplies main(); a program with its own entry point uses wmain.
  if(WIN32 AND T_NO_MAIN)
    target_link_options(${T_NAME} PRIVATE -municode)
  endif()
  # A GTEST_SKIP inside the program counts as a skip, not a pass.
  add_test(NAME ${T_NAME} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/run-gtest.sh
    ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${T_NAME}>)
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77
    ENVIRONMENT "LACQUERON_SOURCE_DIR=${CMAKE_SOURCE_DIR};LACQUERON_BINARY_DIR=${CMAKE_BINARY_DIR}")
  # The target test_programs builds these and nothing else (the sanitizer build).
  set_property(GLOBAL APPEND PROPERTY LACQUERON_TEST_PROGRAMS ${T_NAME})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
  # Window tests press keys on the one shared display: one at a time.
  if("ui" IN_LIST T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()

# lacqueron_test_seconds(test seconds): about how long the test takes. ctest -j starts
# the longest tests first, but learns their length only from an earlier run; in a clean
# clone a long test left to the end would run alone while the other slots stand idle.
function(lacqueron_test_seconds test seconds)
  set_tests_properties(${test} PROPERTIES COST ${seconds})
endfunction()
