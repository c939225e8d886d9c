# One static library per source folder: every .cpp of the folder belongs to it,
# so adding a source file needs no change here.
function(lyr_folder_library target folder)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp")
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC "${CMAKE_SOURCE_DIR}/src")
    set(scope PUBLIC)
  else()
    # A folder without sources yet still offers its headers.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE "${CMAKE_SOURCE_DIR}/src")
    set(scope INTERFACE)
  endif()
  if(ARGN)
    target_link_libraries(${target} ${scope} ${ARGN})
  endif()
endfunction()

# One GoogleTest binary per test folder, registered with CTest.
function(lyr_folder_tests name folder)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/src" "${CMAKE_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main GTest::gmock)
  # GoogleTest's assertions expand to an if/else: one under an unbraced if
  # takes that if's else, so the build refuses it.
  target_compile_options(${name} PRIVATE -Werror=dangling-else)
  target_compile_definitions(${name} PRIVATE
    LYR_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    LYR_PROGRAM_PATH="$<TARGET_FILE:lyrsa_vokt>"
    LYR_ERRCOUNT_PATH="$<TARGET_FILE:lyrsa_errcount>")
  add_dependencies(${name} lyrsa_vokt lyrsa_errcount)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
