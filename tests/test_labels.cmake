# SPDX-License-Identifier: GPL-3.0-or-later
# Labels of the discovered tests, read by CTest after the test lists: `unit` (in
# process, quick), `pty` (the real serial code on a pseudo-terminal), `ui` (windows,
# offscreen), `cli` (the built programs as child processes), and `slow` beside any of
# them for tests that take seconds. `ctest -LE slow` is the quick round while editing.
set(VAPRON_PTY_SUITES
  "^(PtyLiveTest|PtyLinkTest|SerialPortTest|PtyServerTest|SimMainTest|AutoSetupPtyTest)\\.")
set(VAPRON_SLOW_TESTS "@VAPRON_SLOW_TESTS@")
foreach(folder support link sim settings diag corrections autosetup app display cli)
  foreach(test IN LISTS tests_${folder}_TESTS)
    if(folder MATCHES "^(app|display)$")
      set(labels ui)
    elseif(folder STREQUAL "cli")
      set(labels cli)
    elseif(test MATCHES "${VAPRON_PTY_SUITES}")
      set(labels pty)
    else()
      set(labels unit)
    endif()
    if(test MATCHES "${VAPRON_SLOW_TESTS}")
      list(APPEND labels slow)
    endif()
    set_tests_properties("${test}" PROPERTIES LABELS "${labels}")
  endforeach()
endforeach()
