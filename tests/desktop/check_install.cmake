# Installs the desktop part of the build into a scratch prefix and checks that the icon theme and
# the application entry land where freedesktop desktops look for them.
# Arguments: -DBUILD_DIR=<build>/src/desktop -DPREFIX=<scratch folder>
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
file(READ ${PREFIX}/share/applications/velmora.desktop entry)
foreach(line "[Desktop Entry]" "Type=Application" "Name=Velmora" "Exec=velmora" "Icon=velmora"
             "Categories=Utility;Calculator;")
  string(FIND "${entry}" "${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "velmora.desktop lacks the line ${line}")
  endif()
endforeach()
