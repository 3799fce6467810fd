# The Windows resource script of the program: its icon and its version information, generated
# from the same values as the version text, legal notice and licence sentence the program shows (top-level
# CMakeLists.txt), so Explorer's properties and the About box always agree.
set(VELMORA_RC_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/velmora.rc.in)

# Writes the resource script for target (its .exe name without extension) to output.
function(velmora_write_windows_resource_script output target)
  # Inside a resource string a double quote is written twice.
  string(REPLACE "\"" "\"\"" VELMORA_RC_LEGAL_NOTICE "${VELMORA_LEGAL_NOTICE}. ${VELMORA_LICENCE_NOTICE}")
  string(REPLACE "\"" "\"\"" VELMORA_RC_PRODUCT_NAME "${VELMORA_PRODUCT_NAME}")
  string(REPLACE "\"" "\"\"" VELMORA_RC_DESCRIPTION "${PROJECT_DESCRIPTION}")
  set(VELMORA_RC_ICON "${PROJECT_SOURCE_DIR}/resources/icons/velmora.ico")
  set(VELMORA_RC_TARGET "${target}")
  configure_file(${VELMORA_RC_TEMPLATE} ${output} @ONLY)
endfunction()

# Adds the generated resource script to a Windows executable target; does nothing elsewhere.
function(velmora_add_windows_resources target)
  if(NOT WIN32)
    return()
  endif()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  velmora_write_windows_resource_script(${script} ${target})
  target_sources(${target} PRIVATE ${script})
endfunction()
