# Shared build settings and the helpers every folder uses.

add_compile_options(-Wall -Wextra)
if(VX_WERROR)
  add_compile_options(-Werror)
endif()
if(VX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VX_FUZZ)
  # Coverage for the fuzzer in every library; the targets link its driver.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# vx_library(NAME [STATIC] SOURCES ... DEPS ...): one library per folder; the
# repository root is the include root, so headers are included by path
# ("platform/automation/variant.h").
#
# Libraries are shared unless STATIC is given: a module library and the shell
# that loads it must see one application object, one widget set and one class
# registry, as the platform's runtime packages give them. (SHARED is still
# accepted for the libraries loaded by name.)
function(vx_library name)
  cmake_parse_arguments(ARG "SHARED;STATIC" "" "SOURCES;DEPS" ${ARGN})
  if(ARG_STATIC)
    add_library(${name} STATIC ${ARG_SOURCES})
  else()
    add_library(${name} SHARED ${ARG_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# Adds every subfolder of the current folder that has a CMakeLists.txt, so
# new folders under tests/ or platform/ need no edit of a shared file.
function(vx_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# vx_test(NAME SOURCES ... DEPS ...): a GoogleTest executable under CTest.
function(vx_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "VX_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
