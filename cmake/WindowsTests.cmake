# The test suite under wine (`make test-windows`). What cannot apply on Windows is left out here,
# each with its reason; everything else runs as on Linux.
set(TAVRIX_WINDOWS_EXCLUDED_TESTS
  tst_bench_multisend tst_clidisplays tst_clisend tst_deviceframes tst_devicesender tst_multisender
  tst_networkport tst_portrefusal tst_serialport tst_devicesettingsdlg tst_editorview
  tst_multidisplays tst_transferstatusdlg
)

# Each test finds the Qt DLLs, the MinGW runtime and the offscreen platform through wine. Wine
# keeps the host's QT_ variables from Windows programs (they belong to the host's Qt) and passes
# them only when spelt with WINE in front: without that a test would get the windows platform,
# whose windows wine cannot create without a display, and wait in a modal loop for ever.
function(tavrix_windows_test name)
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
    "WINEPATH=${TAVRIX_WINEPATH}" "WINEQT_PLUGIN_PATH=${TAVRIX_WINDOWS_QT_PLUGINS}"
    "WINEQT_QPA_PLATFORM=offscreen" "WINEDEBUG=-all")
endfunction()
