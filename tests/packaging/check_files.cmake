# Validates the generated metainfo with appstreamcli and renders the manual page with man,
# which must stay silent (groff warnings included).
# Arguments: -DMETAINFO=<file> -DMANPAGE=<troff file>
find_program(appstreamcli appstreamcli)
find_program(man man)
if(NOT appstreamcli OR NOT man)
  message("skipped: appstreamcli or man is missing (scripts/install-deps.sh test)")
  return()
endif()
execute_process(COMMAND ${appstreamcli} validate --no-net ${METAINFO} RESULT_VARIABLE result OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate --no-net ${METAINFO}:\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 ${man} --warnings -l ${MANPAGE}
                RESULT_VARIABLE result OUTPUT_VARIABLE page ERROR_VARIABLE complaints)
if(NOT result EQUAL 0 OR NOT complaints STREQUAL "")
  message(FATAL_ERROR "man -l ${MANPAGE}: ${result}\n${complaints}")
endif()
foreach(section NAME SYNOPSIS OPTIONS "EXIT STATUS" ENVIRONMENT FILES)
  if(NOT page MATCHES "\n${section}\n")
    message(FATAL_ERROR "the manual page has no ${section} section")
  endif()
endforeach()
