# The sample installers built around the Windows program, and the tests
# that run them under Wine on a virtual display (installer_test.py).
find_program(KESORV_MAKENSIS makensis REQUIRED)
find_program(KESORV_WIXL wixl REQUIRED)
# installer_test.py starts Xvfb for a display of its own.
find_program(KESORV_XVFB Xvfb REQUIRED)

# The stand-in for the product's program that the installers ship.
add_executable(kesorv_orvane_stand_in ${CMAKE_CURRENT_LIST_DIR}/Orvane.cpp)
set_target_properties(kesorv_orvane_stand_in PROPERTIES OUTPUT_NAME Orvane)

# The installers find what they ship in the folder they are built in.
set(installers ${CMAKE_BINARY_DIR}/installers)
set(samples ${PROJECT_SOURCE_DIR}/samples)
add_custom_command(
  OUTPUT ${installers}/OrvaneSetup.exe ${installers}/Orvane.msi
         ${installers}/StartTool-ExecWait.exe ${installers}/StartTool-nsExec.exe
  COMMAND ${CMAKE_COMMAND} -E make_directory ${installers}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:KesOrvCleanup> $<TARGET_FILE:kesorv_orvane_stand_in>
          ${installers}/
  COMMAND ${KESORV_MAKENSIS} -NOCD -V2 ${samples}/nsis/Orvane.nsi
  COMMAND ${KESORV_WIXL} -a x86 -o Orvane.msi ${samples}/wix/Orvane.wxs
  COMMAND ${KESORV_MAKENSIS} -NOCD -V2 -DCALL=ExecWait ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  COMMAND ${KESORV_MAKENSIS} -NOCD -V2 -DCALL=nsExec ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  DEPENDS KesOrvCleanup kesorv_orvane_stand_in ${samples}/nsis/Orvane.nsi ${samples}/wix/Orvane.wxs
          ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  WORKING_DIRECTORY ${installers}
  COMMENT "Building the sample installers"
  VERBATIM)
add_custom_target(kesorv_installers ALL DEPENDS ${installers}/OrvaneSetup.exe)

# A prefix of these tests' own: they end all of its programs between steps.
set(prefix ${CMAKE_BINARY_DIR}/installer-wineprefix)
add_custom_command(
  OUTPUT ${prefix}/system.reg
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/../wine/make-prefix.sh ${prefix}
  COMMENT "Making the Wine prefix for the installer tests")
add_custom_target(kesorv_installer_wineprefix ALL DEPENDS ${prefix}/system.reg)

foreach(test_class UninstallTest CallerPitfallTest)
  add_test(NAME installers.${test_class}
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/installer_test.py ${prefix} ${installers}
            ${test_class})
  set_tests_properties(installers.${test_class} PROPERTIES RESOURCE_LOCK installer-wineprefix
    TIMEOUT 600)
endforeach()
