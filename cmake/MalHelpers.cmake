# Shared compile settings for every target of the project.
function(mal_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(MAL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # Text reaches a QString only through a codec: no implicit conversion from or to byte strings.
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING QT_NO_CAST_FROM_ASCII
                                               QT_NO_CAST_TO_ASCII)
endfunction()

# Adds a static library of one layer: mal_add_layer(name SOURCES ... LIBS ...)
function(mal_add_layer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  mal_target_defaults(${name})
endfunction()

# Registers one GoogleTest executable as a CTest test:
#   mal_add_test(name LABEL core|gui|e2e [OWN_MAIN] SOURCES ... LIBS ...)
# Each test runs on the offscreen platform with MAL_TEST_DATA pointing at tests/data. Core tests get a
# QCoreApplication main, the others a QApplication main, unless the sources bring their own.
function(mal_add_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL core)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_OWN_MAIN)
    set(test_main "")
  elseif(ARG_LABEL STREQUAL "core")
    set(test_main mal_testmain_core)
  else()
    set(test_main mal_testmain_gui)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} mal_testsupport ${test_main} GTest::gtest GTest::gmock)
  mal_target_defaults(${name})
  set_target_properties(${name} PROPERTIES AUTOUIC OFF)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS ${ARG_LABEL}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;MAL_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;LC_ALL=C.UTF-8;TZ=Europe/Berlin"
    TIMEOUT 600)
endfunction()

# Adds a Google Benchmark executable: mal_add_benchmark(name SOURCES ... LIBS ...)
function(mal_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} mal_benchsupport benchmark::benchmark)
  mal_target_defaults(${name})
endfunction()

# Adds a libFuzzer target: mal_add_fuzzer(name SOURCES ... LIBS ...)
function(mal_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  mal_target_defaults(${name})
endfunction()

# Adds the subdirectories of the given areas that exist, so that each area keeps its own CMakeLists.txt.
# Areas named in the cache list MAL_SKIP_AREAS are left out (handy while an area is being rebuilt).
set(MAL_SKIP_AREAS "" CACHE STRING "Areas to leave out of the build")
macro(mal_add_areas)
  foreach(area ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/CMakeLists.txt AND NOT area IN_LIST MAL_SKIP_AREAS)
      add_subdirectory(${area})
    endif()
  endforeach()
endmacro()

# Replays the seed inputs of a fuzz harness as an ordinary test in every build:
#   mal_add_fuzz_replay(name HARNESS fuzz/area/Harness.cpp SEEDS fuzz/area/seeds/name LIBS ...)
function(mal_add_fuzz_replay name)
  cmake_parse_arguments(ARG "" "HARNESS;SEEDS" "LIBS" ${ARGN})
  add_executable(${name} ${PROJECT_SOURCE_DIR}/${ARG_HARNESS} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  mal_target_defaults(${name})
  add_test(NAME ${name} COMMAND ${name} ${PROJECT_SOURCE_DIR}/${ARG_SEEDS})
  set_tests_properties(${name} PROPERTIES LABELS core ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
