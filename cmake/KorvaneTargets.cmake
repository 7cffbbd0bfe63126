# Helpers that keep every test, benchmark and fuzz target built the same way.

# korvane_add_subfolders(dir folder ...): adds each named subfolder of dir; a missing one is an
# error, so a folder that was moved or lost cannot silently take its tests with it.
function(korvane_add_subfolders dir)
  foreach(folder ${ARGN})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${folder}/CMakeLists.txt)
      message(FATAL_ERROR "Folder ${dir}/${folder} is missing")
    endif()
    add_subdirectory(${dir}/${folder})
  endforeach()
endfunction()

# korvane_add_test(name SOURCES a.cpp ... LIBS lib ... [LABELS serial ...])
# One GoogleTest program, registered with ctest as one test per case. Widget tests run offscreen.
function(korvane_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} korvane_test_support GTest::gtest GTest::gtest_main)
  # Qt for Windows has no offscreen platform; there the tests use real windows (under Wine, on a
  # virtual display).
  set(properties)
  if(NOT WIN32)
    set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if(CMAKE_CROSSCOMPILING)
    # Under an emulator (Wine) each start costs a second: the program runs once, all its cases.
    add_test(NAME ${name} COMMAND ${name})
    if(properties)
      set_tests_properties(${name} PROPERTIES ${properties})
    endif()
  else()
    # Parameterised cases carry their generated names; the parameter's bytes stay out of the name.
    gtest_discover_tests(${name} TEST_PREFIX "${name}." NO_PRETTY_VALUES PROPERTIES ${properties}
                         DISCOVERY_TIMEOUT 60)
  endif()
  if("serial" IN_LIST ARG_LABELS)
    add_dependencies(serial_tests ${name})
  endif()
endfunction()

# korvane_add_bench(name SOURCES a.cpp ... LIBS lib ...)
function(korvane_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

# korvane_add_fuzzer(name SOURCES a.cpp ... LIBS lib ...): a libFuzzer program, clang only.
function(korvane_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

# korvane_keep_platform_files(list): drops from a list of files those of the other platform:
# posix_* files are built everywhere but on Windows, win_* files only there.
function(korvane_keep_platform_files list)
  if(WIN32)
    list(FILTER ${list} EXCLUDE REGEX "/posix_[^/]*$")
  else()
    list(FILTER ${list} EXCLUDE REGEX "/win_[^/]*$")
  endif()
  set(${list} ${${list}} PARENT_SCOPE)
endfunction()

# korvane_add_library(name LIBS lib ...): one static library of the .cpp/.h files in the
# current folder, with the project root on the include path ("data/record_finder.h").
# EXCLUDE names files of the folder that belong to another target (a program's main.cpp).
function(korvane_add_library name)
  cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE;SUBDIRS" ${ARGN})
  set(patterns *.cpp *.h)
  foreach(subdir ${ARG_SUBDIRS})
    list(APPEND patterns ${subdir}/*.cpp ${subdir}/*.h)
  endforeach()
  list(TRANSFORM patterns PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  korvane_keep_platform_files(sources)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# korvane_add_folder_test(name LIBS lib ... [LABELS ...]): one test program of every *_test.cpp
# in the current folder, so several people can add test files without touching this list.
function(korvane_add_folder_test name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  korvane_keep_platform_files(sources)
  if(sources)
    korvane_add_test(${name} SOURCES ${sources} LIBS ${ARG_LIBS} LABELS ${ARG_LABELS})
  endif()
endfunction()
