# Install-time script: writes the application entry from its template. Exec names the program
# alone where the prefix's bin folder is on every PATH (/usr, /usr/local); for any other prefix
# (~/.local, /opt/velmora) it is the absolute path, because such a folder joins PATH only at
# the next log-in, if ever, and the menu entry must start the program at once.
# Set before: VELMORA_ENTRY_TEMPLATE, VELMORA_ENTRY_DESTINATION (relative to the prefix),
# VELMORA_ENTRY_BINDIR (relative to the prefix).
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/?$")
  set(VELMORA_EXEC velmora)
else()
  set(VELMORA_EXEC "${CMAKE_INSTALL_PREFIX}/${VELMORA_ENTRY_BINDIR}/velmora")
  # Inside a quoted Exec argument \, ", ` and $ take a backslash, and every backslash of the
  # entry's text is doubled again by the desktop-entry string escaping.
  if(VELMORA_EXEC MATCHES "[^A-Za-z0-9_./+-]")
    string(REPLACE "\\" "\\\\\\\\" VELMORA_EXEC "${VELMORA_EXEC}")
    string(REGEX REPLACE "([\"`$])" "\\\\\\\\\\1" VELMORA_EXEC "${VELMORA_EXEC}")
    set(VELMORA_EXEC "\"${VELMORA_EXEC}\"")
  endif()
endif()
set(entry "${CMAKE_INSTALL_PREFIX}/${VELMORA_ENTRY_DESTINATION}")  # file(INSTALL) adds DESTDIR
get_filename_component(entry_dir "${entry}" DIRECTORY)
get_filename_component(entry_name "${entry}" NAME)
# Written beside the template, one folder per destination, so installs run side by side (the
# package build and a prefix install) never share the file; file(INSTALL) then records it in
# install_manifest.txt like every other installed file.
get_filename_component(template_dir "${VELMORA_ENTRY_TEMPLATE}" DIRECTORY)
string(MD5 destination_key "$ENV{DESTDIR}${entry}")
set(staged "${template_dir}/installed-${destination_key}/${entry_name}")
configure_file("${VELMORA_ENTRY_TEMPLATE}" "${staged}" @ONLY)
file(INSTALL "${staged}" DESTINATION "${entry_dir}")
