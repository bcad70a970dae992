# Tests of KesOrvCleanup.exe as a deliverable: the file itself, not its
# behaviour. mingw build only. Label deliverable: they need no Wine; the
# signed release's test runs the signed program under Wine too, label
# signing.
add_test(NAME deliverable.pe_properties
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/check_pe.py
          $<TARGET_FILE:KesOrvCleanup> ${PROJECT_VERSION}.0)
add_test(NAME deliverable.reproducible_build
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/reproducible-build.sh ${PROJECT_SOURCE_DIR})
add_test(NAME deliverable.clang_compiles_the_sources
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/clang-compile.sh ${PROJECT_SOURCE_DIR})
# Editing only the manifest rebuilds the resource that embeds it.
add_test(NAME deliverable.manifest_edit_rebuilds
  COMMAND ${CMAKE_MAKE_PROGRAM} -C ${PROJECT_BINARY_DIR} -t query
          CMakeFiles/KesOrvCleanup.dir/platform/windows/KesOrvCleanupManifest.rc.res)
set_tests_properties(deliverable.manifest_edit_rebuilds PROPERTIES
  PASS_REGULAR_EXPRESSION "KesOrvCleanup\\.manifest")
set_tests_properties(deliverable.reproducible_build PROPERTIES TIMEOUT 600)
set_tests_properties(deliverable.pe_properties deliverable.reproducible_build
  deliverable.clang_compiles_the_sources deliverable.manifest_edit_rebuilds
  PROPERTIES LABELS deliverable)

# The Wine tests' proof that exceptions are caught holds only if the test
# program is an image declaring NO_SEH, like the tool.
add_test(NAME deliverable.test_program_linked_like_the_tool
  COMMAND ${CMAKE_OBJDUMP} -p $<TARGET_FILE:kesorv_tests>)
set_tests_properties(deliverable.test_program_linked_like_the_tool PROPERTIES
  PASS_REGULAR_EXPRESSION "NO_SEH" LABELS deliverable)

# The release signed with a throwaway certificate; the signed program runs
# its removal case in the tests' Wine prefix.
add_test(NAME deliverable.signed_release
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/signed-release-test.sh ${PROJECT_SOURCE_DIR}
          $<TARGET_FILE:KesOrvCleanup> ${PROJECT_BINARY_DIR}/generated/README.txt
          ${PROJECT_VERSION}.0 ${KESORV_WINEPREFIX})
set_tests_properties(deliverable.signed_release PROPERTIES LABELS signing TIMEOUT 900)
kesorv_runs_in_wineprefix(deliverable.signed_release)
