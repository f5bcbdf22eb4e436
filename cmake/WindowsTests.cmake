# The test suite under wine (`make test-windows`). What cannot apply on Windows is left out here,
# each with its reason; everything else runs as on Linux.
set(TAVRIX_WINDOWS_EXCLUDED_TESTS
  # The Linux accessibility bus (AT-SPI over D-Bus), which the Windows Qt has not.
  tst_accessibility
  # Pseudo-terminals as such: the line settings read back from the slave's termios, output held
  # with tcflow, the advisory lock and TIOCEXCL on the device.
  tst_serialport tst_devicesender
  # Unix device permissions: the group and mode of the device file.
  tst_portrefusal
  # ser2net on loopback in front of a pseudo-terminal whose termios the test reads.
  tst_networkport
  # POSIX signals (SIGINT, SIGTERM, SIGHUP, SIGSTOP) sent to the program, its stderr on a
  # pseudo-terminal, and output held with tcflow.
  tst_clisend
  # A transfer held on a line that takes nothing in (tcflow), throughout.
  tst_transferstatusdlg
  # It runs lupdate, a Linux program, over the sources; the translation is the same file on every
  # system, checked by the Linux suite.
  tst_translation
  # Benchmarks are not run here.
  tst_bench_multisend
)

# Each test finds the Qt DLLs, the MinGW runtime and the offscreen platform through wine. Wine
# keeps the host's QT_ variables from Windows programs (they belong to the host's Qt) and passes
# them only when spelt with WINE in front: without that a test would get the windows platform,
# whose windows wine cannot create without a display, and wait in a modal loop for ever.
# Qt's own Russian texts for the tests, as qt.conf beside the installed program finds them.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf
     "[Paths]\nPrefix=Z:${TAVRIX_WINDOWS_QT}\nTranslations=Z:${TAVRIX_QT_TRANSLATIONS}\n")

# The device tests share the COM pairs tools/test-windows.sh sets up, so they run one at a time.
function(tavrix_windows_test name source)
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
    "WINEPATH=${TAVRIX_WINEPATH}" "WINEQT_PLUGIN_PATH=${TAVRIX_WINDOWS_QT_PLUGINS}"
    "WINEQT_QPA_PLATFORM=offscreen" "WINEDEBUG=-all")
  file(STRINGS ${source} device REGEX "#include \"ptypair.h\"")
  if(device)
    set_property(TEST ${name} PROPERTY RESOURCE_LOCK com_pairs)
  endif()
endfunction()
