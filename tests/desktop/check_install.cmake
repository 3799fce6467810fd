# Installs the desktop part of the build into a scratch prefix and checks that the icon theme and
# the application entry land where freedesktop desktops look for them, and that the entry, in a
# prefix whose bin folder is not on PATH, starts the program by its absolute path.
# Arguments: -DBUILD_DIR=<build>/src/desktop -DPREFIX=<scratch folder> -DAPP_ID=<application id>
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} -DCMAKE_INSTALL_PREFIX=${PREFIX} -P ${BUILD_DIR}/cmake_install.cmake
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "installing failed: ${result}")
endif()
foreach(size 16x16 32x32 48x48 256x256)
  if(NOT EXISTS ${PREFIX}/share/icons/hicolor/${size}/apps/velmora.png)
    message(FATAL_ERROR "missing icon ${size}")
  endif()
endforeach()
set(entry_file ${PREFIX}/share/applications/${APP_ID}.desktop)
file(READ ${entry_file} entry)
foreach(line "[Desktop Entry]" "Type=Application" "Name=Velmora" "Exec=${PREFIX}/bin/velmora" "Icon=velmora"
             "Categories=Utility;Calculator;")
  string(FIND "${entry}" "${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${APP_ID}.desktop lacks the line ${line}")
  endif()
endforeach()
find_program(desktop_file_validate desktop-file-validate)
if(desktop_file_validate)
  execute_process(COMMAND ${desktop_file_validate} ${entry_file} RESULT_VARIABLE result OUTPUT_VARIABLE complaints
                  ERROR_VARIABLE complaints)
  if(NOT result EQUAL 0 OR NOT complaints STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${complaints}")
  endif()
endif()
