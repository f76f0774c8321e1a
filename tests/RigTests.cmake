# Included by ctest once a rig suite's tests are listed (tests/CMakeLists.txt
# writes the file that sets suite, rigs, minute_tests and long_tests): spreads
# the suite's tests over its rigs and gives each test the lock and the
# environment of its rig. A suite on one rig keeps its own name for both; a
# suite on several uses <suite>_1 ... <suite>_<rigs>. scripts/test.sh passes a
# rig's environment as PELLORA_RIG_<rig>, a list of VARIABLE=value.
if(NOT ${suite}_TESTS)
  return()
endif()

# Long tests are dealt out first, so no rig gets two of them before every rig
# has one; the others follow on from where the long ones stopped. Both run in
# the listed order, so a test stays on the same rig from run to run.
set(long)
set(short)
foreach(test IN LISTS ${suite}_TESTS)
  if(test MATCHES "${long_tests}")
    list(APPEND long "${test}")
  else()
    list(APPEND short "${test}")
  endif()
endforeach()

set(dealt 0)
foreach(test IN LISTS long short)
  if(rigs EQUAL 1)
    set(rig ${suite})
  else()
    math(EXPR index "${dealt} % ${rigs} + 1")
    set(rig ${suite}_${index})
  endif()
  math(EXPR dealt "${dealt} + 1")
  set_tests_properties("${test}" PROPERTIES RESOURCE_LOCK ${rig})
  if(DEFINED ENV{PELLORA_RIG_${rig}})
    set_tests_properties("${test}" PROPERTIES ENVIRONMENT "$ENV{PELLORA_RIG_${rig}}")
  endif()
  if(test MATCHES "${minute_tests}")
    set_tests_properties("${test}" PROPERTIES TIMEOUT 300)
  endif()
endforeach()
