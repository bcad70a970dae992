# The Windows build's own tests, run under Wine in the tests' prefix
# (tests/wine-runner/WineRunner.cmake): the test program's cases, found in
# its sources rather than by running it, and the scripts that run the built
# program. Labels say what each needs beyond the build: wine (Wine), smoke
# (Wine; the built program in each mode, in a few starts).
set_target_properties(kesorv_tests PROPERTIES CROSSCOMPILING_EMULATOR
  "${KESORV_WINE_RUNNER}/wine-run.sh;${KESORV_WINEPREFIX}")

# The cases share one registry and one drive C:, so they take turns. A
# filter that matches no case would pass, so it fails instead.
gtest_add_tests(TARGET kesorv_tests TEST_LIST cases)
kesorv_runs_in_wineprefix(30 ${cases})
set_tests_properties(${cases} PROPERTIES LABELS wine
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
  FAIL_REGULAR_EXPRESSION "\\] 0 tests from")

# One case again in code page 932: Wine takes the ANSI code page from the
# Unix locale, and a Japanese one gives 932.
set(case KesRegistryHelperTest.DoubleByteCodePageKeepsTrailBytes)
add_test(NAME ${case}:ja_JP
  COMMAND ${KESORV_WINE_RUNNER}/wine-run.sh ${KESORV_WINEPREFIX} $<TARGET_FILE:kesorv_tests>
          --gtest_filter=${case})
set_tests_properties(${case}:ja_JP PROPERTIES ENVIRONMENT LC_ALL=ja_JP.UTF-8
  FAIL_REGULAR_EXPRESSION "SKIPPED;\\] 0 tests from" LABELS wine)
kesorv_runs_in_wineprefix(30 ${case}:ja_JP)

# Links planted from the Unix side: a folder link at C:\Temp, which Wine
# cannot make itself and reports as a reparse point, and a second hard
# link to the log file, which Wine counts as such.
add_test(NAME wine/log-link-test.sh
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/log-link-test.sh ${KESORV_WINEPREFIX} $<TARGET_FILE:KesOrvCleanup>)
set_tests_properties(wine/log-link-test.sh PROPERTIES LABELS wine)
kesorv_runs_in_wineprefix(60 wine/log-link-test.sh)

# Each mode of the built program once.
add_test(NAME wine/smoke-test.sh
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/smoke-test.sh ${KESORV_WINEPREFIX}
          $<TARGET_FILE:KesOrvCleanup> $<TARGET_FILE:kesorv_argument_recorder>)
set_tests_properties(wine/smoke-test.sh PROPERTIES LABELS smoke)
kesorv_runs_in_wineprefix(120 wine/smoke-test.sh)
