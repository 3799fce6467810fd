# The Windows installer (CPack's NSIS generator, makensis): Velmora-<version>-win64.exe puts the
# deployed program folder (velmora.exe with its DLLs and plugins, made by scripts/windows.sh in
# <build>/deploy) into Program Files\Velmora, adds a Start-menu shortcut and an uninstaller.
# Variables only; cmake/Packaging.cmake includes this before include(CPack).
if(NOT WIN32)
  return()
endif()

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "${CPACK_PACKAGE_NAME}")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${CPACK_PACKAGE_NAME}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "${CPACK_PACKAGE_NAME}")
set(CPACK_NSIS_DISPLAY_NAME "${CPACK_PACKAGE_NAME}")
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
set(CPACK_PACKAGE_EXECUTABLES "velmora;${CPACK_PACKAGE_NAME}")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")

# The program's own automatic start-up (the current user's Run value) goes with it.
# Without CPACK_VERBATIM_VARIABLES, CPackConfig.cmake is read back once more: escape twice.
set(VELMORA_NSIS_REMOVE_RUN_VALUE
  [[DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "velmora"]])
if(NOT CPACK_VERBATIM_VARIABLES)
  string(REPLACE "\\" "\\\\" VELMORA_NSIS_REMOVE_RUN_VALUE "${VELMORA_NSIS_REMOVE_RUN_VALUE}")
  string(REPLACE "\"" "\\\"" VELMORA_NSIS_REMOVE_RUN_VALUE "${VELMORA_NSIS_REMOVE_RUN_VALUE}")
endif()
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${VELMORA_NSIS_REMOVE_RUN_VALUE}")

# The licence page shows the program's legal notice.
set(VELMORA_NSIS_LICENSE "${PROJECT_BINARY_DIR}/license.txt")
file(WRITE "${VELMORA_NSIS_LICENSE}" "${VELMORA_PRODUCT_NAME} ${VELMORA_VERSION_TEXT}\n${VELMORA_LEGAL_NOTICE}\n")
set(CPACK_RESOURCE_FILE_LICENSE "${VELMORA_NSIS_LICENSE}")
