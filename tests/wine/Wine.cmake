# The Windows build's tests, run under Wine in a prefix of their own under
# the build folder, never the user's. Nothing here runs at build time: the
# prefix is made by the first test that needs it, and the test program's
# tests are found in its sources rather than by running it.
#
# Labels say what each test needs beyond the build: wine (Wine), smoke
# (Wine; the built program in each mode, in a few starts).
set(KESORV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set_target_properties(kesorv_tests PROPERTIES CROSSCOMPILING_EMULATOR
  "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;${KESORV_WINEPREFIX}")

# Under emulation a new prefix takes about half a minute.
add_test(NAME wine.prefix
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/make-prefix.sh ${KESORV_WINEPREFIX} --unprivileged)
add_test(NAME wineserver.start COMMAND ${CMAKE_CURRENT_LIST_DIR}/wineserver.sh ${KESORV_WINEPREFIX} start)
add_test(NAME wineserver.stop COMMAND ${CMAKE_CURRENT_LIST_DIR}/wineserver.sh ${KESORV_WINEPREFIX} stop)
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wineprefix TIMEOUT 1200)
set_tests_properties(wineserver.start PROPERTIES FIXTURES_SETUP wineserver
  FIXTURES_REQUIRED wineprefix TIMEOUT 300)
set_tests_properties(wineserver.stop PROPERTIES FIXTURES_CLEANUP wineserver TIMEOUT 300)
# What every test that runs Windows programs in the prefix needs: the
# prefix and its server, and the prefix to itself.
function(kesorv_runs_in_wineprefix)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK wineprefix
    FIXTURES_REQUIRED "wineprefix;wineserver")
endfunction()

# The tests share one registry and one drive C:, so they take turns. A
# filter that matches no test would pass, so it fails instead.
gtest_add_tests(TARGET kesorv_tests TEST_LIST kesorv_wine_tests)
kesorv_runs_in_wineprefix(${kesorv_wine_tests})
set_tests_properties(${kesorv_wine_tests} PROPERTIES LABELS wine TIMEOUT 30
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
  FAIL_REGULAR_EXPRESSION "\\] 0 tests from")

# Wine takes the ANSI code page from the Unix locale: 932 under a Japanese one.
add_test(NAME ReadRegistryTest.DoubleByteCodePageUnderJapaneseLocale
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${KESORV_WINEPREFIX} $<TARGET_FILE:kesorv_tests>
          --gtest_filter=ReadRegistryTest.DoubleByteCodePageKeepsTrailBytes)
set_tests_properties(ReadRegistryTest.DoubleByteCodePageUnderJapaneseLocale PROPERTIES
  ENVIRONMENT LC_ALL=ja_JP.UTF-8 FAIL_REGULAR_EXPRESSION "SKIPPED;\\] 0 tests from"
  LABELS wine TIMEOUT 30)
kesorv_runs_in_wineprefix(ReadRegistryTest.DoubleByteCodePageUnderJapaneseLocale)

# Links planted from the Unix side: a folder link at C:\Temp, which Wine
# cannot make itself and reports as a reparse point, and a second hard
# link to the log file, which Wine counts as such.
add_test(NAME EndToEndTest.LogRefusesLinksPlantedFromOutside
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/log-link-test.sh ${KESORV_WINEPREFIX} $<TARGET_FILE:KesOrvCleanup>)
set_tests_properties(EndToEndTest.LogRefusesLinksPlantedFromOutside PROPERTIES
  LABELS wine TIMEOUT 60)
kesorv_runs_in_wineprefix(EndToEndTest.LogRefusesLinksPlantedFromOutside)

# Each mode of the built program once; its own time limits scale under emulation.
add_test(NAME wine.smoke
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/smoke-test.sh ${KESORV_WINEPREFIX}
          $<TARGET_FILE:KesOrvCleanup> $<TARGET_FILE:kesorv_argument_recorder>)
set_tests_properties(wine.smoke PROPERTIES LABELS smoke TIMEOUT 1800)
kesorv_runs_in_wineprefix(wine.smoke)
