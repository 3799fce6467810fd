# Packages built with CPack: the common identity of every package, then each platform's own
# settings, then CPack itself.
set(CPACK_PACKAGE_NAME "${VELMORA_PRODUCT_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "${VELMORA_CONTACT_EMAIL}")

include(${CMAKE_CURRENT_LIST_DIR}/NsisPackage.cmake OPTIONAL)
include(CPack)
