# The sample installers built around the Windows program, and the tests
# that run them under Wine on a virtual display (installer_test.py), label
# installers. The check of the MSI packages' tables needs no Wine; label
# deliverable.
# The installers are built, and their prefix made, by the first test that
# needs them, so that building the program needs neither NSIS nor wixl.

# The stand-in for the product's program that the installers ship: a
# Windows program with a hidden window, as the product runs from logon.
add_executable(kesorv_orvane_stand_in WIN32 ${CMAKE_CURRENT_LIST_DIR}/Orvane.cpp)
set_target_properties(kesorv_orvane_stand_in PROPERTIES OUTPUT_NAME Orvane)

# The installers find what they ship in the folder they are built in.
set(installers ${CMAKE_BINARY_DIR}/installers)
set(samples ${PROJECT_SOURCE_DIR}/samples)
# Signed as the release is, when it is (packaging/Sign.cmake): the command
# that signs the file named last, in place.
set(sign ${CMAKE_COMMAND} -DIF_CERTIFICATE=ON -DPKCS12=${KESORV_SIGN_PKCS12}
    -DPASSWORD_FILE=${KESORV_SIGN_PASSWORD_FILE} -DTIMESTAMP_URL=${KESORV_SIGN_TIMESTAMP_URL}
    -DDESCRIPTION=Orvane -DURL=${KESORV_SIGN_URL} -P ${PROJECT_SOURCE_DIR}/packaging/Sign.cmake)
list(JOIN sign "\" \"" nsis_sign)
add_custom_command(
  OUTPUT ${installers}/OrvaneSetup.exe ${installers}/OrvaneSetup-2.exe ${installers}/Orvane.msi
         ${installers}/Orvane-2.msi ${installers}/Orvane-2-rebuilt.msi ${installers}/Orvane64.msi
         ${installers}/Orvane64-view32.msi
         ${installers}/StartTool-ExecWait.exe ${installers}/StartTool-nsExec.exe
  COMMAND ${PROJECT_SOURCE_DIR}/tests/require.sh makensis:nsis wixl:wixl
  COMMAND ${CMAKE_COMMAND} -E make_directory ${installers}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:KesOrvCleanup> $<TARGET_FILE:kesorv_orvane_stand_in>
          ${installers}/
  # Version 2, then version 1, each an installer and the uninstaller it
  # writes, signed.
  COMMAND makensis -NOCD -V2 -DVERSION=2.0.0 "-DSIGN=\"${nsis_sign}\"" ${samples}/nsis/Orvane.nsi
  COMMAND ${CMAKE_COMMAND} -E rename OrvaneSetup.exe OrvaneSetup-2.exe
  COMMAND makensis -NOCD -V2 "-DSIGN=\"${nsis_sign}\"" ${samples}/nsis/Orvane.nsi
  # Version 1, then two builds of version 2: each build has a product code
  # of its own, and each upgrades what is installed.
  COMMAND wixl -a x86 -D Version=1.0.0 -o Orvane.msi ${samples}/wix/Orvane.wxs
  COMMAND wixl -a x86 -D Version=2.0.0 -o Orvane-2.msi ${samples}/wix/Orvane.wxs
  COMMAND wixl -a x86 -D Version=2.0.0 -o Orvane-2-rebuilt.msi ${samples}/wix/Orvane.wxs
  COMMAND ${sign} Orvane.msi
  COMMAND ${sign} Orvane-2.msi
  COMMAND ${sign} Orvane-2-rebuilt.msi
  # A 64-bit package, its product key in the wrong view and in the right one.
  COMMAND wixl -a x64 -D ProductKeyWin64=yes -D ProductKey=${PRODUCT_KEY} -o Orvane64.msi
          ${CMAKE_CURRENT_LIST_DIR}/Orvane64.wxs
  COMMAND wixl -a x64 -D ProductKeyWin64=no -D ProductKey=${PRODUCT_KEY} -o Orvane64-view32.msi
          ${CMAKE_CURRENT_LIST_DIR}/Orvane64.wxs
  COMMAND makensis -NOCD -V2 -DCALL=ExecWait ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  COMMAND makensis -NOCD -V2 -DCALL=nsExec ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  DEPENDS KesOrvCleanup kesorv_orvane_stand_in ${samples}/nsis/Orvane.nsi ${samples}/wix/Orvane.wxs
          ${PROJECT_SOURCE_DIR}/packaging/Sign.cmake
          ${CMAKE_CURRENT_LIST_DIR}/Orvane64.wxs ${CMAKE_CURRENT_LIST_DIR}/StartTool.nsi
  WORKING_DIRECTORY ${installers}
  COMMENT "Building the sample installers"
  VERBATIM)
add_custom_target(kesorv_installers DEPENDS ${installers}/OrvaneSetup.exe)
add_test(NAME installers/Installers.cmake:build
  COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target kesorv_installers)
set_tests_properties(installers/Installers.cmake:build PROPERTIES FIXTURES_SETUP installers
  TIMEOUT 300)

# What Windows Installer enforces and Wine's msiexec lets pass, read from the
# packages' tables: no Wine needed.
add_test(NAME installers/check_msi.py
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/check_msi.py ${installers})
set_tests_properties(installers/check_msi.py PROPERTIES FIXTURES_REQUIRED installers
  LABELS deliverable)

# A prefix of these tests' own: they end all of its programs between steps.
set(prefix ${CMAKE_BINARY_DIR}/installer-wineprefix)
add_test(NAME wine-runner/make-prefix.sh:installer-wineprefix
  COMMAND ${KESORV_WINE_RUNNER}/make-prefix.sh ${prefix})
set_tests_properties(wine-runner/make-prefix.sh:installer-wineprefix PROPERTIES
  FIXTURES_SETUP installer-wineprefix)
kesorv_wine_test(240 wine-runner/make-prefix.sh:installer-wineprefix)

foreach(test_class UninstallTest InstallFolderTest AppsEntryTest UninstallCommandFormTest
                   NsisUpgradeTest MsiUpgradeTest CallerPitfallTest)
  set(name installers/installer_test.py:${test_class})
  add_test(NAME ${name}
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/installer_test.py ${prefix} ${installers}
            ${test_class})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK installer-wineprefix
    FIXTURES_REQUIRED "installers;installer-wineprefix" LABELS installers)
  kesorv_wine_test(240 ${name})
endforeach()
