# One place that creates every Pelikon target, so that warnings, include
# paths and test registration are the same everywhere.

set(PELIKON_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/../src)

function(pelikon_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(PELIKON_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# pelikon_library(NAME SOURCES <files> [DEPS <targets>])
# A static library whose headers are included as "subsystem/header.h".
function(pelikon_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PELIKON_SOURCE_ROOT})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  pelikon_warnings(${name})
endfunction()

# pelikon_wx_library(NAME SOURCES <files> DEPS <targets>): a library of
# windows. wxWidgets is looked for only when such a library is made, so a
# build without the GUI never needs it.
function(pelikon_wx_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base adv)
  pelikon_library(${name} SOURCES ${ARG_SOURCES} DEPS ${ARG_DEPS} ${wxWidgets_LIBRARIES})
  target_include_directories(${name} SYSTEM PUBLIC ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(${name} PUBLIC ${wxWidgets_DEFINITIONS})
  target_compile_options(${name} PUBLIC ${wxWidgets_CXX_FLAGS})
endfunction()

# pelikon_executable(NAME SOURCES <files> [DEPS <targets>])
function(pelikon_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  pelikon_warnings(${name})
endfunction()

# pelikon_test(NAME SOURCES <files> [DEPS <targets>] [LABELS <labels>] [SERIAL])
# A GoogleTest program; every test case becomes a CTest test. SERIAL runs
# its cases alone, for tests whose third-party peers are timing-sensitive.
function(pelikon_test name)
  if(NOT PELIKON_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "SERIAL" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} pelikon_test_main pelikon_testsupport GTest::gtest GTest::gmock)
  set(_serial FALSE)
  if(ARG_SERIAL)
    set(_serial TRUE)
  endif()
  pelikon_warnings(${name})
  set(_labels unit)
  if(ARG_LABELS)
    set(_labels ${ARG_LABELS})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${_labels}" TIMEOUT 300 RUN_SERIAL ${_serial}
               ENVIRONMENT "PELIKON_TEMP_DIR=${CMAKE_BINARY_DIR}/test-work")
  target_compile_definitions(${name} PRIVATE
    PELIKON_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    PELIKON_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
endfunction()

# pelikon_fuzz(NAME SOURCES <files> [DEPS <targets>])
# A libFuzzer target; built only with PELIKON_FUZZ. Its seed corpus is
# tests/fuzz/corpus/<NAME> when that folder exists.
function(pelikon_fuzz name)
  if(NOT PELIKON_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  pelikon_warnings(${name})
  set_property(GLOBAL APPEND PROPERTY PELIKON_FUZZ_TARGETS ${name})
endfunction()

# pelikon_quiet_restrict_false_positive(<files>)
# GCC 12 at -O3 inlines std::string's copy into short assignments and
# insertions ("x = \"1\"", "s += \"-\" + t") and then reports an overlapping
# memcpy of 2^63 bytes that no path can reach (its -Wrestrict false positive
# in char_traits.h). A pragma cannot reach a warning placed in a system
# header, so the files where it arises are compiled without that warning;
# every other file keeps it.
function(pelikon_quiet_restrict_false_positive)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set_source_files_properties(${ARGN} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES COMPILE_OPTIONS -Wno-restrict)
  endif()
endfunction()
