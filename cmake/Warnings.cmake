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
  # Test names as GoogleTest gives them: parameterised cases are named by their suite's generator
  # (tests/support/CaseNames.h), never by a printout of the parameter's bytes.
  gtest_discover_tests(${name}
    NO_PRETTY_VALUES
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# A libFuzzer harness (clang only): marisole_fuzzer(name SOURCES ... DEPS ...)
function(marisole_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()

# Adds every direct subfolder of the calling folder that has a CMakeLists.txt, in name order.
function(marisole_add_subfolders)
  file(GLOB dirs LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT dirs)
  foreach(dir IN LISTS dirs)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
