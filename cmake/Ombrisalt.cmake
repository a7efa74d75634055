# Shared build settings and the helpers that turn a folder into a library.

add_library(ombrisalt_options INTERFACE)
target_compile_options(ombrisalt_options INTERFACE
  -Wall -Wextra -Wshadow -ffp-contract=off
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Woverloaded-virtual>)
if(OMBRISALT_WERROR)
  target_compile_options(ombrisalt_options INTERFACE -Werror)
endif()
# g++ 12 at -O2 and above reports overlapping copies inside std::string
# concatenation that cannot happen (its bug 105651).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(ombrisalt_options INTERFACE -Wno-restrict)
endif()
target_include_directories(ombrisalt_options INTERFACE ${PROJECT_SOURCE_DIR})
# LLVM's linker where it is installed (scripts/setup installs it): a program
# of the sanitizer build links in a third of the CPU time GNU ld takes, and
# the build links over fifty of them.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld OMBRISALT_HAVE_LLD)
if(OMBRISALT_HAVE_LLD)
  target_link_options(ombrisalt_options INTERFACE -fuse-ld=lld)
endif()
if(OMBRISALT_POOL_MALLOC)
  target_compile_definitions(ombrisalt_options INTERFACE OMBRISALT_POOL_MALLOC=1)
endif()
if(OMBRISALT_SANITIZE)
  # Test programs (property OMBRISALT_TEST_CODE) only drive the libraries,
  # which keep every check; the undefined-behaviour checks would double the
  # compile time of test code. A float from data past the range of the integer
  # it becomes is undefined too, but not among -fsanitize=undefined's checks.
  set(undefined_checks undefined,float-cast-overflow)
  target_compile_options(ombrisalt_options INTERFACE -fsanitize=address -fno-omit-frame-pointer
    "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:OMBRISALT_TEST_CODE>>>:-fsanitize=${undefined_checks};-fno-sanitize-recover=${undefined_checks}>")
  target_link_options(ombrisalt_options INTERFACE -fsanitize=address,undefined)
endif()
if(OMBRISALT_TSAN)
  if(OMBRISALT_SANITIZE)
    message(FATAL_ERROR "OMBRISALT_TSAN and OMBRISALT_SANITIZE exclude each other")
  endif()
  target_compile_options(ombrisalt_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(ombrisalt_options INTERFACE -fsanitize=thread)
endif()
if(OMBRISALT_FUZZ)
  target_compile_definitions(ombrisalt_options INTERFACE OMBRISALT_FUZZING=1)
  # Undefined behaviour ends the input with an artifact instead of a line of log.
  target_compile_options(ombrisalt_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined,float-cast-overflow
    -fno-sanitize-recover=undefined,float-cast-overflow)
  target_link_options(ombrisalt_options INTERFACE -fsanitize=address,undefined)
endif()

if(OMBRISALT_SANITIZE)
  # Under the sanitizers a third of a library file's compile time is parsing
  # the standard headers; they are precompiled once for every library. Only
  # here: the other builds compile without, so a missing include still fails.
  file(WRITE ${CMAKE_BINARY_DIR}/library_pch.cpp "// The libraries' precompiled header's own source.\n")
  add_library(ombrisalt_library_pch OBJECT ${CMAKE_BINARY_DIR}/library_pch.cpp)
  target_link_libraries(ombrisalt_library_pch PRIVATE ombrisalt_options)
  target_precompile_headers(ombrisalt_library_pch PRIVATE <algorithm> <array> <cmath> <cstdint> <cstdio> <cstdlib>
                            <cstring> <memory> <string> <string_view> <unordered_map> <utility> <vector>)
endif()

# ombrisalt_add_library(<name> [FOLDERS folders...] [DEPS targets...])
# Builds every .cpp of the folders (default: the calling folder) into the
# static library ombrisalt_<name>.
function(ombrisalt_add_library name)
  cmake_parse_arguments(ARG "" "" "FOLDERS;DEPS" ${ARGN})
  if(NOT ARG_FOLDERS)
    set(ARG_FOLDERS ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(sources)
  foreach(folder ${ARG_FOLDERS})
    file(GLOB found CONFIGURE_DEPENDS ${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  add_library(ombrisalt_${name} STATIC ${sources})
  target_link_libraries(ombrisalt_${name} PUBLIC ombrisalt_options ${ARG_DEPS})
  if(TARGET ombrisalt_library_pch)
    target_precompile_headers(ombrisalt_${name} REUSE_FROM ombrisalt_library_pch)
  endif()
endfunction()

# ombrisalt_add_tests(<folder> [MAIN <target>] [COST <n>] [UNITY] <library targets...>)
# One test program per folder of tests/, each test case registered with CTest.
# Every other .cpp of the folder (and of tests/support/) is support code.
# MAIN replaces GoogleTest's main (tests/support/main registers everything).
# COST is each suite's CTest cost: CTest starts the costliest first, so on a
# fresh build the long suites do not come last with one core left idle.
# UNITY compiles the folder's files eight to a unit: a test file spends most
# of its compile on the headers and templates it shares with its neighbours,
# so eight cost about what three do apart. Its helpers at file scope then
# need names no neighbour uses (a clash is a compile error, not a silent one).
function(ombrisalt_add_tests folder)
  cmake_parse_arguments(ARG "UNITY" "MAIN;COST" "" ${ARGN})
  if(NOT ARG_COST)
    set(ARG_COST 0)
  endif()
  if(NOT ARG_MAIN)
    set(ARG_MAIN GTest::gtest_main)
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" exe ${folder})
  set(exe ${exe}_tests)
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER support EXCLUDE REGEX "_test\\.cpp$")
  add_executable(${exe} ${sources} ${support})
  target_link_libraries(${exe} PRIVATE ${ARG_UNPARSED_ARGUMENTS} ${ARG_MAIN} GTest::gmock ombrisalt_test_support)
  target_include_directories(${exe} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  set_target_properties(${exe} PROPERTIES OMBRISALT_TEST_CODE ON)
  # Test code is most of what the build compiles: it is built without
  # optimisation (the libraries it drives keep the build's own level) and on
  # a precompiled GoogleTest, made once for every test program.
  target_compile_options(${exe} PRIVATE -O0)
  if(ARG_UNITY)
    set_target_properties(${exe} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    # A fixture standing on a helper type of an unnamed namespace is a
    # warning only in a header, which each file of a unit now is.
    target_compile_options(${exe} PRIVATE -Wno-subobject-linkage)
  endif()
  if(NOT TARGET ombrisalt_test_pch)
    # A target of its own, so a build of one test program makes no other.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/test_pch.cpp "// The precompiled header's own source.\n")
    add_library(ombrisalt_test_pch OBJECT ${CMAKE_CURRENT_BINARY_DIR}/test_pch.cpp)
    target_link_libraries(ombrisalt_test_pch PRIVATE ombrisalt_options GTest::gmock)
    set_target_properties(ombrisalt_test_pch PROPERTIES OMBRISALT_TEST_CODE ON)
    target_compile_options(ombrisalt_test_pch PRIVATE -O0)
    # GoogleMock stays out: two files use it, and its fifth of the header's
    # size made every test file's compile slower (the compiler's collector
    # walks all of it).
    target_precompile_headers(ombrisalt_test_pch PRIVATE <gtest/gtest.h> <algorithm> <cmath> <cstdint>
                              <cstring> <filesystem> <functional> <map> <memory> <string> <vector>)
  endif()
  target_precompile_headers(${exe} REUSE_FROM ombrisalt_test_pch)
  if(NOT TARGET ombrisalt_test_support)
    # tests/support/, compiled once for every test program.
    file(GLOB shared CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
    add_library(ombrisalt_test_support OBJECT ${shared})
    target_link_libraries(ombrisalt_test_support PRIVATE ombrisalt_options GTest::gmock)
    target_include_directories(ombrisalt_test_support PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    set_target_properties(ombrisalt_test_support PROPERTIES OMBRISALT_TEST_CODE ON)
    target_compile_options(ombrisalt_test_support PRIVATE -O0)
    target_precompile_headers(ombrisalt_test_support REUSE_FROM ombrisalt_test_pch)
    # The real-window tests find their input player beside it.
    set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/support/VirtualDisplay.cpp PROPERTIES
                                COMPILE_DEFINITIONS OMBRISALT_TEST_SUPPORT_DIR="${CMAKE_CURRENT_SOURCE_DIR}/support")
  endif()
  # The tests that play on the demo data copy the one the build made.
  target_compile_definitions(${exe} PRIVATE OMBRISALT_DEMO_DATA="${OMBRISALT_DEMO_DATA}")
  add_dependencies(${exe} demo_data)
  # One CTest test per suite, not per case: a process for each of four
  # thousand cases cost more than many of the cases, and a suite's cases may
  # share what is costly to set up (SetUpTestSuite). The suites are listed
  # when CTest starts, as GoogleTest's PRE_TEST discovery lists the cases.
  # ChildProcess.* cases are the halves other tests start in a child
  # process; run on their own they would only skip.
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${exe}_suites_include.cmake)
  file(GENERATE OUTPUT ${include_file} CONTENT
    "set(exe [==[$<TARGET_FILE:${exe}>]==])
set(list [==[${CMAKE_CURRENT_BINARY_DIR}/${exe}_suites.cmake]==])
set(label ${exe})
set(folder ${folder})
set(workdir [==[${CMAKE_CURRENT_BINARY_DIR}]==])
set(skip ChildProcess)
set(cost ${ARG_COST})
include([==[${PROJECT_SOURCE_DIR}/cmake/GTestSuites.cmake]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
