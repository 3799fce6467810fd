# What is installed beside the program, and the packages CPack makes from an install:
# velmora_<version>-<release>_amd64.deb on Linux (cpack -G DEB in the build folder, or the
# package target); the Windows installer's settings come from NsisPackage.cmake.

set(VELMORA_RELEASE_DATE "2026-12-08")  # of PROJECT_VERSION: metainfo and manual page
set(VELMORA_SCREENSHOT_URL "https://velmora.invalid/screenshot.png" CACHE STRING
    "Where software centres fetch the screenshot (docs/screenshot.png, published)")
set(VELMORA_SCREENSHOT_WIDTH 536)
set(VELMORA_SCREENSHOT_HEIGHT 403)
# The project's web page for software centres; the packager sets it. Empty: the metainfo names
# none (a placeholder would be shown to users as a link that leads nowhere).
set(VELMORA_HOMEPAGE_URL "" CACHE STRING "The project's web page, named in the AppStream metainfo (empty: none)")
set(VELMORA_METAINFO_URLS "")
if(VELMORA_HOMEPAGE_URL)
  string(REPLACE "&" "&amp;" homepage "${VELMORA_HOMEPAGE_URL}")
  set(VELMORA_METAINFO_URLS "<url type=\"homepage\">${homepage}</url>")
endif()

# Every symbol of the installed program is bound at start-up, so its relocation tables can be
# made read-only at once (Debian's bindnow hardening).
if(TARGET velmora AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_link_options(velmora PRIVATE LINKER:-z,now)
endif()

if(UNIX AND NOT APPLE AND VELMORA_WITH_QT)
  include(GNUInstallDirs)
  find_program(VELMORA_GZIP gzip REQUIRED)
  set(packaging_dir ${PROJECT_BINARY_DIR}/packaging)
  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/velmora)

  configure_file(${PROJECT_SOURCE_DIR}/packaging/metainfo.xml.in
                 ${packaging_dir}/${VELMORA_APP_ID}.metainfo.xml @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/velmora.1.in ${packaging_dir}/velmora.1 @ONLY)

  # The copyright file's Format line names the machine-readable format's address. It is taken
  # from a copyright file of Qt's own Debian packages, which every build here has, rather than
  # written into the sources.
  set(VELMORA_DEP5_FORMAT "")
  foreach(known /usr/share/doc/qt6-base-dev/copyright /usr/share/doc/libqt6core6/copyright
                /usr/share/doc/dpkg/copyright)
    if(EXISTS ${known} AND NOT VELMORA_DEP5_FORMAT)
      file(STRINGS ${known} VELMORA_DEP5_FORMAT LIMIT_COUNT 1 REGEX "^Format: .*copyright-format/1\\.0/?$")
    endif()
  endforeach()
  if(NOT VELMORA_DEP5_FORMAT)
    message(WARNING "no Debian copyright file with a Format line found: the package's copyright file will not be machine-readable")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${packaging_dir}/copyright @ONLY)

  # Manual page and changelogs go compressed, as Debian wants them: gzip -9 -n (no name, no
  # time stamp, so the same sources give the same bytes).
  set(compressed)
  foreach(pair "${packaging_dir}/velmora.1|velmora.1.gz"
               "${PROJECT_SOURCE_DIR}/packaging/changelog.Debian|changelog.Debian.gz"
               "${PROJECT_SOURCE_DIR}/CHANGELOG.md|changelog.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 output)
    add_custom_command(OUTPUT ${packaging_dir}/${output}
                       COMMAND ${VELMORA_GZIP} -9 -n -c ${source} > ${packaging_dir}/${output}
                       DEPENDS ${source} VERBATIM)
    list(APPEND compressed ${packaging_dir}/${output})
  endforeach()
  add_custom_target(velmora_packaging_files ALL DEPENDS ${compressed})

  install(FILES ${packaging_dir}/${VELMORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${packaging_dir}/velmora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${packaging_dir}/copyright ${packaging_dir}/changelog.gz DESTINATION ${doc_dir})
  # Only in the Debian package: its changelog and the lintian overrides.
  install(FILES ${packaging_dir}/changelog.Debian.gz DESTINATION ${doc_dir} COMPONENT deb EXCLUDE_FROM_ALL)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME velmora COMPONENT deb EXCLUDE_FROM_ALL)

  # The Debian changelog's newest entry names the package's version.
  file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog.Debian newest LIMIT_COUNT 1)
  if(NOT newest MATCHES "^velmora \\(${PROJECT_VERSION}-[0-9]+\\)")
    message(WARNING "packaging/changelog.Debian does not start with version ${PROJECT_VERSION}")
  endif()
endif()

# Common to every package.
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <${VELMORA_CONTACT_EMAIL}>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${VELMORA_PRODUCT_NAME})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# Debian: the file name, version and architecture dpkg expects; dependencies from the binary's
# libraries (dpkg-shlibdeps) plus what the binary loads at run time without linking it: Qt's
# X11 platform plugin (qt6-qpa-plugins) and its Wayland one (qt6-wayland; without it the window
# runs through XWayland without its app id, and a session without XWayland cannot show it),
# and Liberation Sans, the Arial-metric face the keys are drawn for (the captions of the
# longest keys, "Longitude A" and "Longitude B", run into their borders in any wider face).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# One package of every component, the Debian-only files included.
if(UNIX AND NOT APPLE)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL Unspecified deb)
endif()
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmora computes the distance between two points on the Earth by Vincenty's
inverse formula on the reference ellipsoid of your choice, in kilometres,
statute miles or nautical miles. It looks and works like a pocket calculator:
coordinates are typed on its keypad or keyboard in degrees, degrees and
minutes, or degrees, minutes and seconds, and every step is kept in a history
list that can be copied from.")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(NOT CPACK_GENERATOR)
  if(WIN32)
    set(CPACK_GENERATOR NSIS)
  else()
    set(CPACK_GENERATOR DEB)
  endif()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/NsisPackage.cmake OPTIONAL)
include(CPack)
