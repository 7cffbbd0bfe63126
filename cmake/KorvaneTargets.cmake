# Helpers that keep every test, benchmark and fuzz target built the same way.

# Adds every direct subfolder of DIR that has a CMakeLists.txt and whose subsystem library
# exists (tests/data needs korvane_data, tests/analysis needs korvane_analysis, ...).
function(korvane_add_subfolders dir)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*)
  foreach(child ${children})
    get_filename_component(subsystem ${child} NAME)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt
       AND (TARGET korvane_${subsystem} OR NOT subsystem MATCHES "^(common|analysis|serial|data|curve|method|controls|app)$"))
      add_subdirectory(${child})
      # A subsystem's window half is a library of its own, tested in the matching subfolder.
      if(EXISTS ${child}/ui/CMakeLists.txt AND TARGET korvane_${subsystem}_ui)
        add_subdirectory(${child}/ui)
      endif()
    endif()
  endforeach()
endfunction()

# korvane_add_test(name SOURCES a.cpp ... LIBS lib ... [LABELS serial ...])
# One GoogleTest program, registered with ctest as one test per case. Widget tests run offscreen.
function(korvane_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  # Parameterised cases carry their generated names; the parameter's bytes stay out of the name.
  gtest_discover_tests(${name} TEST_PREFIX "${name}." NO_PRETTY_VALUES PROPERTIES ${properties}
                       DISCOVERY_TIMEOUT 60)
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
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# korvane_add_folder_test(name LIBS lib ... [LABELS ...]): one test program of every *_test.cpp
# in the current folder, so several people can add test files without touching this list.
function(korvane_add_folder_test name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(sources)
    korvane_add_test(${name} SOURCES ${sources} LIBS ${ARG_LIBS} LABELS ${ARG_LABELS})
  endif()
endfunction()
