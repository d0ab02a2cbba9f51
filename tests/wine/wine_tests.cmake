# Registers a Win32 test program's tests with CTest. Every Wine test takes
# one lane (a Wine prefix, its wineserver and an X display of its own, see
# scripts/lib/wine-lanes.sh), so tests that run at the same time never share
# a window, a focus or the settings store. Names start with the architecture
# ("win64.e2e.<case>"), so both architectures can run in one CTest run.
#
# quillon_wine_gtest(<target> NAME <name> TIMEOUT <seconds>
#                    [CASES | SHARDS <n>])
#   CASES      one CTest test per GoogleTest case, listed by the program
#              itself when CTest starts (slow cases: the scheduler spreads
#              them over the lanes and the summary names each one)
#   SHARDS n   n CTest tests, each running every n-th case (GoogleTest's
#              own sharding): for many quick cases, where a Wine start per
#              case would cost more than the case
#   neither    one CTest test for the whole program
include(GoogleTest)

function(quillon_wine_gtest target)
  cmake_parse_arguments(arg "CASES" "NAME;TIMEOUT;SHARDS" "" ${ARGN})
  set(prefix ${QUILLON_WINE_ARCH}.${arg_NAME})
  if(arg_CASES)
    # Listed when CTest starts, not when built: a build that cannot run here
    # (a 32-bit one on a kernel without 32-bit support) still builds.
    gtest_discover_tests(
      ${target}
      TEST_PREFIX ${prefix}.
      DISCOVERY_MODE PRE_TEST
      NO_PRETTY_VALUES
      DISCOVERY_TIMEOUT 120
      PROPERTIES RESOURCE_GROUPS lanes:1 TIMEOUT ${arg_TIMEOUT})
  elseif(arg_SHARDS)
    math(EXPR last "${arg_SHARDS} - 1")
    foreach(index RANGE ${last})
      set(name ${prefix}.shard${index})
      add_test(NAME ${name} COMMAND ${target})
      # A shard is among the longest tests: started first, it does not hold
      # up the end of the run (CTest starts costlier tests first).
      set_tests_properties(
        ${name} PROPERTIES RESOURCE_GROUPS lanes:1 TIMEOUT ${arg_TIMEOUT} COST 100
        ENVIRONMENT "GTEST_TOTAL_SHARDS=${arg_SHARDS};GTEST_SHARD_INDEX=${index}")
    endforeach()
  else()
    add_test(NAME ${prefix} COMMAND ${target})
    set_tests_properties(${prefix} PROPERTIES RESOURCE_GROUPS lanes:1 TIMEOUT ${arg_TIMEOUT})
  endif()
endfunction()
