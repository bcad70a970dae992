# The Windows build's tests, run under Wine in a prefix of their own under
# the build folder, never the user's.
set(KESORV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set_target_properties(kesorv_tests PROPERTIES CROSSCOMPILING_EMULATOR
  "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;${KESORV_WINEPREFIX}")

add_custom_command(
  OUTPUT ${KESORV_WINEPREFIX}/system.reg
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/make-prefix.sh ${KESORV_WINEPREFIX} --unprivileged
  COMMENT "Making the Wine prefix for the tests")
add_custom_target(kesorv_wineprefix ALL DEPENDS ${KESORV_WINEPREFIX}/system.reg)
add_dependencies(kesorv_tests kesorv_wineprefix)

add_test(NAME wineserver.start COMMAND ${CMAKE_CURRENT_LIST_DIR}/wineserver.sh ${KESORV_WINEPREFIX} start)
add_test(NAME wineserver.stop COMMAND ${CMAKE_CURRENT_LIST_DIR}/wineserver.sh ${KESORV_WINEPREFIX} stop)
set_tests_properties(wineserver.start PROPERTIES FIXTURES_SETUP wineserver)
set_tests_properties(wineserver.stop PROPERTIES FIXTURES_CLEANUP wineserver)

# The tests share one registry and one drive C:, so they take turns.
gtest_discover_tests(kesorv_tests
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 120
  PROPERTIES RESOURCE_LOCK wineprefix FIXTURES_REQUIRED wineserver TIMEOUT 30)

# Wine takes the ANSI code page from the Unix locale: 932 under a Japanese one.
add_test(NAME ReadRegistryTest.DoubleByteCodePageUnderJapaneseLocale
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${KESORV_WINEPREFIX} $<TARGET_FILE:kesorv_tests>
          --gtest_filter=ReadRegistryTest.DoubleByteCodePageKeepsTrailBytes)
set_tests_properties(ReadRegistryTest.DoubleByteCodePageUnderJapaneseLocale PROPERTIES
  ENVIRONMENT LC_ALL=ja_JP.UTF-8 FAIL_REGULAR_EXPRESSION "SKIPPED"
  RESOURCE_LOCK wineprefix FIXTURES_REQUIRED wineserver TIMEOUT 30)

# Links planted from the Unix side: a folder link at C:\Temp, which Wine
# cannot make itself and reports as a reparse point, and a second hard
# link to the log file, which Wine counts as such.
add_test(NAME EndToEndTest.LogRefusesLinksPlantedFromOutside
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/log-link-test.sh ${KESORV_WINEPREFIX} $<TARGET_FILE:KesOrvCleanup>)
set_tests_properties(EndToEndTest.LogRefusesLinksPlantedFromOutside PROPERTIES
  RESOURCE_LOCK wineprefix FIXTURES_REQUIRED wineserver TIMEOUT 60)
