# The sample installers built around the Windows program, and the tests
# that run them under Wine on a virtual display (installer_test.py). They
# need Wine and a kernel that starts 32-bit programs; label installers.
# The installers are built, and their prefix made, by the first test that
# needs them, so that building the program needs neither NSIS nor wixl.

# The stand-in for the product's program that the installers ship.
add_executable(kesorv_orvane_stand_in ${CMAKE_CURRENT_LIST_DIR}/Orvane.cpp)
set_target_properties(kesorv_orvane_stand_in PROPERTIES OUTPUT_NAME Orvane)

# The installers find what they ship in the folder they are built in.
set(installers ${CMAKE_BINARY_DIR}/installers)
set(samples ${PROJECT_SOURCE_DIR}/samples)
add_custom_command(
  OUTPUT ${installers}/OrvaneSetup.exe ${installers}/Orvane.msi
         ${installers}/StartTool-ExecWait.exe ${installers}/StartTool-nsExec.exe
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/../require.sh makensis:nsis wixl:wixl
  COMMAND ${CMAKE_COMMAND} -E make_directory ${installers}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:KesOrvCleanup> $<TARGET_FILE:kesorv_orvane_stand_in>
          ${installers}/
  COMMAND makensis -NOCD -V2 ${samples}/nsis/Orvane.nsi
  COMMAND wixl -a x86 -o Orvane.msi ${samples}/wix/Orvane.wxs
  COMMAND makensis -NOCD -V2 -DCALL=ExecWait ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  COMMAND makensis -NOCD -V2 -DCALL=nsExec ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  DEPENDS KesOrvCleanup kesorv_orvane_stand_in ${samples}/nsis/Orvane.nsi ${samples}/wix/Orvane.wxs
          ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  WORKING_DIRECTORY ${installers}
  COMMENT "Building the sample installers"
  VERBATIM)
add_custom_target(kesorv_installers DEPENDS ${installers}/OrvaneSetup.exe)
add_test(NAME installers.build
  COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target kesorv_installers)
set_tests_properties(installers.build PROPERTIES FIXTURES_SETUP installers TIMEOUT 300)

# A prefix of these tests' own: they end all of its programs between steps.
set(prefix ${CMAKE_BINARY_DIR}/installer-wineprefix)
add_test(NAME installers.prefix COMMAND ${CMAKE_CURRENT_LIST_DIR}/../wine/make-prefix.sh ${prefix})
set_tests_properties(installers.prefix PROPERTIES FIXTURES_SETUP installer-wineprefix TIMEOUT 1200)

foreach(test_class UninstallTest CallerPitfallTest)
  add_test(NAME installers.${test_class}
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/installer_test.py ${prefix} ${installers}
            ${test_class})
  set_tests_properties(installers.${test_class} PROPERTIES RESOURCE_LOCK installer-wineprefix
    FIXTURES_REQUIRED "installers;installer-wineprefix" LABELS installers TIMEOUT 600)
endforeach()
