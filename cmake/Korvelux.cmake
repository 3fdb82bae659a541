# One static library per source folder: every .cpp in the folder belongs to it, so a new
# file needs no edit here.
function(kvx_folder_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test program per test file, named <prefix>_<file>; its cases are found when ctest runs.
# With AREA_LIBS, a file named <area>_..._test.cpp links only the library kvx_<area> (and DEPS), so a test
# builds without the folders it does not need.
function(kvx_folder_tests prefix dir)
  cmake_parse_arguments(ARG "AREA_LIBS" "" "DEPS;LABELS;DEFINES" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${dir}/support/*.cpp)
  foreach(test_source ${tests})
    get_filename_component(stem ${test_source} NAME_WE)
    set(target ${prefix}_${stem})
    add_executable(${target} ${test_source} ${helpers})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${target} PRIVATE ${ARG_DEPS})
    if(ARG_AREA_LIBS)
      string(REGEX MATCH "^[a-z]+" area ${stem})
      target_link_libraries(${target} PRIVATE kvx_${area})
    endif()
    target_compile_definitions(${target} PRIVATE ${ARG_DEFINES})
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}"
                         DISCOVERY_TIMEOUT 60)
  endforeach()
endfunction()

# A program made of every .cpp in its folder.
function(kvx_folder_program name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  endif()
endfunction()
