# Run by ctest before any test starts (see CMakeLists.txt here): finds out
# once how Wine runs on this machine (wine-mode.sh), and hands the mode and
# its time scale to every test that runs Wine, whose time limit becomes its
# native one times the scale. `kesorv_wine_tests` holds each test's name
# followed by that native limit in seconds.
execute_process(COMMAND "${kesorv_wine_runner}/wine-mode.sh"
  OUTPUT_VARIABLE mode ERROR_VARIABLE why RESULT_VARIABLE failed
  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_STRIP_TRAILING_WHITESPACE)
if(failed)
  message(WARNING "Wine cannot run here, so every test that runs it fails: ${why}")
  return()
endif()
separate_arguments(mode)
list(GET mode 0 wine_mode)
list(GET mode 1 time_scale)
if(why)
  set(why " (${why})")
endif()
message(NOTICE "Wine's 32-bit side: ${wine_mode}${why}, time scale ${time_scale}")

while(kesorv_wine_tests)
  list(POP_FRONT kesorv_wine_tests name seconds)
  math(EXPR seconds "${seconds} * ${time_scale}")
  set_tests_properties("${name}" PROPERTIES TIMEOUT ${seconds} ENVIRONMENT_MODIFICATION
    "KESORV_WINE_MODE=set:${wine_mode};KESORV_WINE_TIME_SCALE=set:${time_scale}")
endwhile()
