# One static library per subsystem folder; every .cpp of the folder belongs to it
# except main.cpp and what lies under EXCLUDE sub-folders.
function(casa_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  foreach(ex ${ARG_EXCLUDE})
    list(FILTER srcs EXCLUDE REGEX "/${ex}/")
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One test executable per test folder. Tests run in the build folder, where the compiler ran:
# a test finds its data beside its source by __FILE__, which a compiler cache (CCACHE_BASEDIR)
# makes relative to that folder.
function(casa_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
