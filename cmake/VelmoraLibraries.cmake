# Include folders that enforce the direction of dependencies between the project's libraries.
include_guard(GLOBAL)

# Gives target an include root of its own in the build tree, holding nothing but a link named
# <folder> to src/<folder>, and makes it the target's PUBLIC include directory. Sources keep
# writing "<folder>/name.h", and a library sees the folders of what it links and no others:
# an include that points the wrong way fails to compile.
function(velmora_own_include_folder target folder)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  set(link ${root}/${folder})
  set(source ${PROJECT_SOURCE_DIR}/src/${folder})
  file(MAKE_DIRECTORY ${root})
  if(NOT IS_SYMLINK ${link})
    file(CREATE_LINK ${source} ${link} RESULT failed SYMBOLIC)
    if(failed)
      # Without links (Windows without developer mode) the folder is shared, unenforced.
      message(WARNING "${target}: cannot link ${link} (${failed}); using ${PROJECT_SOURCE_DIR}/src")
      set(root ${PROJECT_SOURCE_DIR}/src)
    endif()
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
