# Tests of KesOrvCleanup.exe as a deliverable: the file itself, not its
# behaviour. Label deliverable: they need no Wine; the signed release's test
# runs the signed program under Wine too, label signing.
add_test(NAME deliverable/check_pe.py
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/check_pe.py
          $<TARGET_FILE:KesOrvCleanup> ${PROJECT_VERSION}.0)
add_test(NAME deliverable/reproducible-build.sh
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/reproducible-build.sh ${PROJECT_SOURCE_DIR})
add_test(NAME deliverable/clang-compile.sh
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/clang-compile.sh ${PROJECT_SOURCE_DIR})
# Configured as on Windows (MSYS2), not cross-compiled, it still configures.
add_test(NAME deliverable/native-configure.sh
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/native-configure.sh ${PROJECT_SOURCE_DIR})
# Editing only the manifest rebuilds the resource that embeds it.
add_test(NAME deliverable/Deliverable.cmake:manifest_edit_rebuilds
  COMMAND ${CMAKE_MAKE_PROGRAM} -C ${PROJECT_BINARY_DIR} -t query
          CMakeFiles/KesOrvCleanup.dir/platform/windows/KesOrvCleanupManifest.rc.res)
set_tests_properties(deliverable/Deliverable.cmake:manifest_edit_rebuilds PROPERTIES
  PASS_REGULAR_EXPRESSION "KesOrvCleanup\\.manifest")
# The Wine tests' proof that exceptions are caught holds only if the test
# program is an image declaring NO_SEH, like the tool.
add_test(NAME deliverable/Deliverable.cmake:test_program_linked_like_the_tool
  COMMAND ${CMAKE_OBJDUMP} -p $<TARGET_FILE:kesorv_tests>)
set_tests_properties(deliverable/Deliverable.cmake:test_program_linked_like_the_tool PROPERTIES
  PASS_REGULAR_EXPRESSION "NO_SEH")
set_tests_properties(deliverable/reproducible-build.sh PROPERTIES TIMEOUT 600)
set_tests_properties(deliverable/check_pe.py deliverable/reproducible-build.sh
  deliverable/clang-compile.sh deliverable/native-configure.sh
  deliverable/Deliverable.cmake:manifest_edit_rebuilds
  deliverable/Deliverable.cmake:test_program_linked_like_the_tool
  PROPERTIES LABELS deliverable)

# The release signed with a throwaway certificate; the signed program runs
# its removal case in the tests' prefix.
add_test(NAME deliverable/signed-release-test.sh
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/signed-release-test.sh ${PROJECT_SOURCE_DIR}
          $<TARGET_FILE:KesOrvCleanup> ${PROJECT_BINARY_DIR}/generated/README.txt
          ${PROJECT_VERSION}.0 ${KESORV_WINEPREFIX})
set_tests_properties(deliverable/signed-release-test.sh PROPERTIES LABELS signing)
kesorv_runs_in_wineprefix(180 deliverable/signed-release-test.sh)
