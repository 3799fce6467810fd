# GeographicLib, the independent oracle of the distance tests and benchmarks; the program never
# links it. Defines the target velmora_geographiclib.
include_guard(GLOBAL)

find_path(VELMORA_GEOGRAPHICLIB_INCLUDE_DIR GeographicLib/Geodesic.hpp)
find_library(VELMORA_GEOGRAPHICLIB_LIBRARY GeographicLib)
if(NOT VELMORA_GEOGRAPHICLIB_INCLUDE_DIR OR NOT VELMORA_GEOGRAPHICLIB_LIBRARY)
  message(FATAL_ERROR "GeographicLib not found (libgeographiclib-dev, scripts/install-deps.sh)")
endif()
add_library(velmora_geographiclib INTERFACE IMPORTED GLOBAL)
target_include_directories(velmora_geographiclib INTERFACE ${VELMORA_GEOGRAPHICLIB_INCLUDE_DIR})
target_link_libraries(velmora_geographiclib INTERFACE ${VELMORA_GEOGRAPHICLIB_LIBRARY})
