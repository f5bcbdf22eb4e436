# The Windows build, cross-compiled on Debian with MinGW-w64 against a Qt for MinGW that uses the
# host's Qt tools (`make windows`). It leaves the executable's folder runnable as installed: the
# Qt DLLs the program links, the platform and style plugins and MinGW's runtime beside it.

# The host rcc compresses with zstd, which the Windows Qt cannot read back.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)
set(TAVRIX_RCC_OPTIONS --no-zstd)

get_filename_component(TAVRIX_WINDOWS_QT "${Qt6_DIR}/../../.." ABSOLUTE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
                OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(TAVRIX_WINPTHREAD libwinpthread-1.dll
          PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
get_filename_component(TAVRIX_MINGW_RUNTIME_DIR "${libstdcxx}" DIRECTORY)
get_filename_component(TAVRIX_WINPTHREAD_DIR "${TAVRIX_WINPTHREAD}" DIRECTORY)
set(TAVRIX_WINDOWS_RUNTIME "${libstdcxx}" "${libgcc}" "${TAVRIX_WINPTHREAD}")
foreach(dll IN LISTS TAVRIX_WINDOWS_RUNTIME)
  if(NOT EXISTS "${dll}")
    message(FATAL_ERROR "MinGW runtime DLL not found: ${dll}")
  endif()
endforeach()

find_path(TAVRIX_QT_TRANSLATIONS qtbase_ru.qm PATHS /usr/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# Test programs run under wine, which finds the DLLs through WINEPATH (Windows paths, ';').
find_program(TAVRIX_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TAVRIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVRIX_WINE})
endif()
set(TAVRIX_WINEPATH "")
foreach(dir "${TAVRIX_WINDOWS_QT}/bin" "${TAVRIX_MINGW_RUNTIME_DIR}" "${TAVRIX_WINPTHREAD_DIR}")
  list(APPEND TAVRIX_WINEPATH "Z:${dir}")
endforeach()
string(JOIN "\\;" TAVRIX_WINEPATH ${TAVRIX_WINEPATH})
set(TAVRIX_WINDOWS_QT_PLUGINS "Z:${TAVRIX_WINDOWS_QT}/plugins")

# Lays out beside `target` the Qt DLLs and plugins a program of ours needs and the MinGW runtime.
function(tavrix_windows_deploy target)
  set(qt_dlls)
  foreach(module Core Gui Widgets Network SerialPort)
    list(APPEND qt_dlls "${TAVRIX_WINDOWS_QT}/bin/Qt6${module}.dll")
  endforeach()
  set(dir $<TARGET_FILE_DIR:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/platforms ${dir}/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${qt_dlls} ${TAVRIX_WINDOWS_RUNTIME} ${dir}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${TAVRIX_WINDOWS_QT}/plugins/platforms/qwindows.dll
            ${TAVRIX_WINDOWS_QT}/plugins/platforms/qoffscreen.dll ${dir}/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${TAVRIX_WINDOWS_QT}/plugins/styles/qwindowsvistastyle.dll ${dir}/styles
    VERBATIM)
endfunction()

# The program's folder as the installer lays it out (`cmake --install` into a stage): the
# executables, what tavrix_windows_deploy puts beside them, and the fonts.
function(tavrix_windows_install)
  install(TARGETS ${ARGN} RUNTIME DESTINATION .)
  set(qt_dlls)
  foreach(module Core Gui Widgets Network SerialPort)
    list(APPEND qt_dlls "${TAVRIX_WINDOWS_QT}/bin/Qt6${module}.dll")
  endforeach()
  install(FILES ${qt_dlls} ${TAVRIX_WINDOWS_RUNTIME} DESTINATION .)
  install(FILES ${TAVRIX_WINDOWS_QT}/plugins/platforms/qwindows.dll DESTINATION platforms)
  install(FILES ${TAVRIX_WINDOWS_QT}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/Fonts/ DESTINATION Fonts FILES_MATCHING PATTERN "*.brf")
  # Qt's own Russian texts (the standard buttons), found through qt.conf in the program's folder.
  install(FILES ${TAVRIX_QT_TRANSLATIONS}/qtbase_ru.qm DESTINATION translations)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix=.\n")
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt.conf DESTINATION .)
endfunction()
