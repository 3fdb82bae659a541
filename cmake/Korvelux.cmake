# One static library per source folder: every .cpp in the folder belongs to it, so a new
# file needs no edit here.
# QT: the folder holds Qt classes, so moc runs over it.
function(kvx_folder_library name dir)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    set_target_properties(${name} PROPERTIES AUTOMOC ${ARG_QT})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test program per test folder, <prefix>_tests, made of every *_test.cpp in it and its support/*.cpp
# helpers; its cases are found when ctest runs, each case run in a process of its own. One program per
# folder keeps a build to a few links; with CMAKE_UNITY_BUILD (scripts/test-all.sh turns it on) its files
# are also compiled a few at a time, so the test framework's and Qt's headers are read a few times, not once
# per file. A test file therefore keeps its helpers in a namespace named after the file.
# In the thread-sanitizer build only the tests that run threads are built: every test of a THREADED folder,
# and the files of other folders that KVX_THREAD_TESTS names.
# Under the sanitizers a process of a test program takes a fifth of a second to start, more than most cases
# take to run; there the program's cases run in SHARDS processes, each a share of them in turn (the cases of
# a share that wait, on sockets and timers, then overlap with the other shares).
function(kvx_folder_tests prefix dir)
  cmake_parse_arguments(ARG "THREADED" "SHARDS" "DEPS;LABELS;DEFINES" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${dir}/support/*.cpp)
  set(sources "")
  foreach(test_source ${tests})
    get_filename_component(stem ${test_source} NAME_WE)
    if(KVX_SANITIZE_THREAD AND NOT ARG_THREADED AND NOT stem IN_LIST KVX_THREAD_TESTS)
      continue()
    endif()
    list(APPEND sources ${test_source})
  endforeach()
  if(NOT sources)
    return()
  endif()
  set(target ${prefix}_tests)
  add_executable(${target} ${sources} ${helpers})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${ARG_DEPS})
  target_compile_definitions(${target} PRIVATE ${ARG_DEFINES})
  if(KVX_SANITIZE OR KVX_SANITIZE_THREAD)
    math(EXPR last "${ARG_SHARDS} - 1")
    foreach(shard RANGE ${last})
      add_test(NAME ${target}_share_${shard}_of_${ARG_SHARDS} COMMAND ${target})
      set_tests_properties(${target}_share_${shard}_of_${ARG_SHARDS} PROPERTIES LABELS "${ARG_LABELS}"
                           ENVIRONMENT "GTEST_TOTAL_SHARDS=${ARG_SHARDS};GTEST_SHARD_INDEX=${shard}")
    endforeach()
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}"
                         DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# A program made of every .cpp in its folder.
function(kvx_folder_program name dir)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_executable(${name} ${sources})
    set_target_properties(${name} PROPERTIES AUTOMOC ${ARG_QT})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  endif()
endfunction()
