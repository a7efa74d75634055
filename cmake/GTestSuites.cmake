# Included by CTest (a test include file of tests/): registers one test per
# GoogleTest suite of a test program, "<folder>/<suite>" (two programs may
# have a suite of one name), run as "<program> --gtest_filter=<suite>.*". The
# suites are listed again when the program is newer than the list.
# Input variables: exe, list, label, folder, workdir, skip (suites not to register), cost.
cmake_policy(PUSH)
cmake_policy(VERSION 3.25)
if(NOT EXISTS "${exe}")
  # As GoogleTest's own discovery does: a test that fails, naming the program.
  add_test("${label}_NOT_BUILT" "${label}_NOT_BUILT")
  cmake_policy(POP)
  return()
endif()
if(NOT EXISTS "${list}" OR "${exe}" IS_NEWER_THAN "${list}")
  execute_process(COMMAND "${exe}" --gtest_list_tests WORKING_DIRECTORY "${workdir}" TIMEOUT 120
                  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Listing the tests of ${exe} failed (${status}):\n${output}\n${errors}")
  endif()
  # Suite lines start in the first column ("Suite." or "Prefix/Suite.  # TypeParam = ..."), cases are indented.
  string(REGEX MATCHALL "(^|\n)[A-Za-z0-9_/]+\\." suites "${output}")
  set(content "")
  foreach(suite IN LISTS suites)
    string(STRIP "${suite}" suite)
    string(REGEX REPLACE "\\.$" "" suite "${suite}")
    if(suite IN_LIST skip)
      continue()
    endif()
    set(name "${folder}/${suite}")
    string(APPEND content "add_test([=[${name}]=] [==[${exe}]==] [=[--gtest_filter=${suite}.*]=])\n"
                          "set_tests_properties([=[${name}]=] PROPERTIES WORKING_DIRECTORY [==[${workdir}]==]"
                          " ENVIRONMENT OMBRISALT_HEADLESS=1 LABELS ${label} COST \${cost})\n")
  endforeach()
  file(WRITE "${list}" "${content}")
endif()
include("${list}")
cmake_policy(POP)
