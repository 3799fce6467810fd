# The Windows installer (CPack's NSIS generator, makensis): Velmora-<version>-win64.exe puts the
# deployed program folder (velmora.exe with its DLLs and plugins, made by scripts/windows.sh in
# <build>/deploy) into Program Files\Velmora, adds a Start-menu shortcut and an uninstaller.
# Variables only; cmake/Packaging.cmake includes this before include(CPack).
if(NOT WIN32)
  return()
endif()

# Without CPACK_VERBATIM_VARIABLES, CPackConfig.cmake is read back once more: values holding
# quotes or backslashes are escaped a second time for that.
macro(velmora_cpack_escape variable)
  if(NOT CPACK_VERBATIM_VARIABLES)
    string(REPLACE "\\" "\\\\" ${variable} "${${variable}}")
    string(REPLACE "\"" "\\\"" ${variable} "${${variable}}")
  endif()
endmacro()

set(CPACK_GENERATOR NSIS)
# A 64-bit installer for a 64-bit program (makensis makes 32-bit ones unless told).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_PACKAGE_FILE_NAME "${VELMORA_PRODUCT_NAME}-${CPACK_PACKAGE_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "${VELMORA_PRODUCT_NAME}")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${VELMORA_PRODUCT_NAME}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "${VELMORA_PRODUCT_NAME}")
set(CPACK_NSIS_DISPLAY_NAME "${VELMORA_PRODUCT_NAME}")
set(CPACK_NSIS_CONTACT "${CPACK_PACKAGE_CONTACT}")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/resources/icons/velmora.ico")
set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/resources/icons/velmora.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME "velmora.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)

# The program folder exactly as deployed (the program beside its DLLs), not the install rules.
set(VELMORA_DEPLOY_DIR "${PROJECT_BINARY_DIR}/deploy")
set(CPACK_INSTALL_CMAKE_PROJECTS "")
set(CPACK_INSTALLED_DIRECTORIES "${VELMORA_DEPLOY_DIR};.")

# Start menu: Velmora\Velmora.lnk to the program.
set(CPACK_PACKAGE_EXECUTABLES "velmora;${VELMORA_PRODUCT_NAME}")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")

# The uninstaller also removes the program's own automatic start-up (the current user's Run
# value) and the vendor's registry key once it is empty.
set(VELMORA_NSIS_UNINSTALL "DeleteRegValue HKCU \"Software\\Microsoft\\Windows\\CurrentVersion\\Run\" \"velmora\"
DeleteRegKey SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"")
velmora_cpack_escape(VELMORA_NSIS_UNINSTALL)
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${VELMORA_NSIS_UNINSTALL}")

# The licence page shows the program's legal notice.
set(VELMORA_NSIS_LICENSE "${PROJECT_BINARY_DIR}/license.txt")
file(WRITE "${VELMORA_NSIS_LICENSE}" "${VELMORA_PRODUCT_NAME} ${VELMORA_VERSION_TEXT}\n${VELMORA_LEGAL_NOTICE}\n")
set(CPACK_RESOURCE_FILE_LICENSE "${VELMORA_NSIS_LICENSE}")
