# Warnings for the project's own targets. Call marisole_warnings(target) on each.
function(marisole_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(MARISOLE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A static library for one subsystem folder: marisole_library(name SOURCES ... DEPS ...)
function(marisole_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  marisole_warnings(${name})
endfunction()

# A GoogleTest executable registered with CTest: marisole_test(name [QT_APP] SOURCES ... DEPS ...)
# QT_APP: the suite drives widgets and gets a main() that creates one QApplication.
function(marisole_test name)
  cmake_parse_arguments(ARG "QT_APP" "" "SOURCES;DEPS" ${ARGN})
  if(ARG_QT_APP)
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtAppMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Widgets GTest::gtest)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  marisole_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
