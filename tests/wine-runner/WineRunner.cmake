# Wine for ctest, in the cross build: the tests' prefix and its server, and
# the list of tests that run Wine. Included before every file that registers
# such a test; tests/wine-runner/CMakeLists.txt, added after them all, hands
# each the Wine mode and time scale when ctest runs. Nothing here runs at
# build time: the first test that needs the prefix makes it.
set(KESORV_WINE_RUNNER ${CMAKE_CURRENT_LIST_DIR})

# kesorv_wine_test(SECONDS NAME...): tests that run Wine, each with a time
# limit of SECONDS where Wine runs natively. ctest multiplies it by the
# time scale of the mode it finds (wine-mode.sh).
function(kesorv_wine_test seconds)
  foreach(name ${ARGN})
    set_property(GLOBAL APPEND PROPERTY KESORV_WINE_TESTS ${name} ${seconds})
  endforeach()
endfunction()

# The prefix of the Windows build's tests, under the build folder, never
# the user's; Wine runs there as an unprivileged user when ctest runs as
# root (make-prefix.sh).
set(KESORV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
add_test(NAME wine-runner/make-prefix.sh:wineprefix
  COMMAND ${KESORV_WINE_RUNNER}/make-prefix.sh ${KESORV_WINEPREFIX} --unprivileged)
add_test(NAME wine-runner/wineserver.sh:start
  COMMAND ${KESORV_WINE_RUNNER}/wineserver.sh ${KESORV_WINEPREFIX} start)
add_test(NAME wine-runner/wineserver.sh:stop
  COMMAND ${KESORV_WINE_RUNNER}/wineserver.sh ${KESORV_WINEPREFIX} stop)
set_tests_properties(wine-runner/make-prefix.sh:wineprefix PROPERTIES FIXTURES_SETUP wineprefix)
set_tests_properties(wine-runner/wineserver.sh:start PROPERTIES FIXTURES_SETUP wineserver
  FIXTURES_REQUIRED wineprefix)
set_tests_properties(wine-runner/wineserver.sh:stop PROPERTIES FIXTURES_CLEANUP wineserver)
kesorv_wine_test(240 wine-runner/make-prefix.sh:wineprefix)
kesorv_wine_test(60 wine-runner/wineserver.sh:start wine-runner/wineserver.sh:stop)

# kesorv_runs_in_wineprefix(SECONDS NAME...): tests that run Windows
# programs in that prefix, with its server running, one at a time, as they
# share its registry and drive C:.
function(kesorv_runs_in_wineprefix seconds)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK wineprefix
    FIXTURES_REQUIRED "wineprefix;wineserver")
  kesorv_wine_test(${seconds} ${ARGN})
endfunction()
