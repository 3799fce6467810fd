# The ways a test program is made: GoogleTest programs of the core, discovered test by test,
# and Qt Test programs of the shell, run offscreen as one test each.
include_guard(GLOBAL)
include(GoogleTest)

# velmora_gtest(name LINK <libraries...> [SOURCES <files...>] [PROPERTIES <test properties...>])
# One GoogleTest program, by default from name.cpp, linked to the libraries and gtest_main.
function(velmora_gtest name)
  cmake_parse_arguments(arg "" "" "LINK;SOURCES;PROPERTIES" ${ARGN})
  if(NOT arg_SOURCES)
    set(arg_SOURCES ${name}.cpp)
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LINK} velmora_warnings GTest::gtest_main)
  if(arg_PROPERTIES)
    gtest_discover_tests(${name} NO_PRETTY_VALUES PROPERTIES ${arg_PROPERTIES})
  else()
    gtest_discover_tests(${name} NO_PRETTY_VALUES)
  endif()
endfunction()

# velmora_qt_test(name TIMEOUT <seconds> LINK <libraries...> SOURCES <files...>)
# One Qt Test program on the offscreen platform.
function(velmora_qt_test name)
  cmake_parse_arguments(arg "" "TIMEOUT" "LINK;SOURCES" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${arg_LINK} velmora_warnings Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${arg_TIMEOUT})
endfunction()
