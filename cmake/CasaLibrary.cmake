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

# A test program's files share one parse of the headers most of them include: the standard
# library's and GoogleTest's (and, for the widget tests, Qt's widget headers: see
# casa_widget_targets). Every build of a test program precompiles them, so no build of one
# depends on a header that another build lacks. The libraries and the program never
# precompile: every build of them, the test command's included, compiles each file with
# exactly the headers it includes, as the run command's build does.
function(casa_precompile name)
  target_precompile_headers(${name} PRIVATE <algorithm> <cmath> <cstdint> <cstdlib> <cstring> <functional>
    <memory> <string> <vector> <filesystem> <gtest/gtest.h>)
endfunction()

# One test executable per test folder. Tests run in the build folder, where the compiler ran:
# a test finds its data beside its source by __FILE__, which a compiler cache (CCACHE_BASEDIR)
# makes relative to that folder.
function(casa_test name)
  cmake_parse_arguments(ARG "" "SHARDS;SECONDS" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  if(NOT ARG_SHARDS)
    set(ARG_SHARDS 1)
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 10)
  endif()
  casa_test_shards(${name} SHARDS ${ARG_SHARDS} SECONDS ${ARG_SECONDS} PLATFORM offscreen)
  casa_precompile(${name})
endfunction()

# CTest runs a test program as SHARDS processes (GoogleTest's own sharding: each process runs
# every SHARDS-th test, one after another), not a process a test: a program's start (its
# application object, fonts, content library, GL context) is paid once a shard, and the shards
# of all programs share the processors. SECONDS, what the whole program takes under the
# sanitizers, lets CTest start the longest shards first. PLATFORM is Qt's platform plugin;
# with OWN_DISPLAY (programs whose windows take part in activation and focus, or draw with GL)
# each shard runs on a private Xvfb display of its own (tests/own-display.sh). ALONE names
# tests (Suite.Name) that each run in a process of their own, outside the shards: those that
# measure the whole process (its heap's peak), which what earlier tests of a shard left behind
# would blur. A single test runs alone with the program's --gtest_filter.
function(casa_test_shards name)
  cmake_parse_arguments(ARG "OWN_DISPLAY" "SHARDS;SECONDS;PLATFORM" "ALONE" ${ARGN})
  set(command $<TARGET_FILE:${name}>)
  if(ARG_OWN_DISPLAY)
    set(command ${CMAKE_SOURCE_DIR}/tests/own-display.sh ${command})
  endif()
  set(filter "")
  if(ARG_ALONE)
    list(JOIN ARG_ALONE ":" alone)
    set(filter "GTEST_FILTER=-${alone}")
  endif()
  math(EXPR last "${ARG_SHARDS} - 1")
  math(EXPR cost "${ARG_SECONDS} / ${ARG_SHARDS} + 1")
  foreach(index RANGE ${last})
    math(EXPR number "${index} + 1")
    set(test ${name}-${number}of${ARG_SHARDS})
    add_test(NAME ${test} COMMAND ${command} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(${test} PROPERTIES COST ${cost} ENVIRONMENT
      "QT_QPA_PLATFORM=${ARG_PLATFORM};GTEST_TOTAL_SHARDS=${ARG_SHARDS};GTEST_SHARD_INDEX=${index};${filter}")
  endforeach()
  foreach(one ${ARG_ALONE})
    add_test(NAME ${name}-${one} COMMAND ${command} --gtest_filter=${one} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(${name}-${one} PROPERTIES COST ${cost} ENVIRONMENT "QT_QPA_PLATFORM=${ARG_PLATFORM}")
  endforeach()
endfunction()

# Widget libraries and their tests (TEST) build with QT_NO_KEYWORDS (Q_EMIT): model records
# have fields named like Qt's keyword macros. The tests precompile Qt's widget headers as well.
function(casa_widget_targets)
  cmake_parse_arguments(ARG "TEST" "" "" ${ARGN})
  foreach(target ${ARG_UNPARSED_ARGUMENTS})
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS)
    if(ARG_TEST)
      target_precompile_headers(${target} PRIVATE <QAction> <QApplication> <QButtonGroup> <QCheckBox>
        <QComboBox> <QDoubleSpinBox> <QFile> <QFormLayout> <QHBoxLayout> <QImage> <QKeyEvent> <QLabel>
        <QLineEdit> <QListWidget> <QMenu> <QMouseEvent> <QPainter> <QPointer> <QPushButton>
        <QRadioButton> <QSlider> <QTimer> <QToolButton> <QVBoxLayout> <QWidget> <QTest>)
    endif()
  endforeach()
endfunction()
