# Each top-level folder is one static library made of every .cpp file in it and in its
# sub folders (main.cpp aside), so that adding a unit means adding its files and nothing
# else.
function(pixmora_add_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
  endif()
endfunction()

# Links a library made by pixmora_add_library, whether it has sources yet or not.
function(pixmora_link name)
  get_target_property(type ${name} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${name} INTERFACE ${ARGN})
  else()
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()

# One test executable per tested folder: tests/<folder>/*.cpp, run headless.
function(pixmora_add_test_folder folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARGN} pixmora_test_support GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
