# libFuzzer targets of the portable rules: tests/fuzz/fuzz_<name>.cpp becomes fuzz_<name>.
# tools/fuzz.sh builds and runs them; their seed inputs are tests/fuzz/corpus/<name>/.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The fuzz targets need clang (libFuzzer); use the fuzz preset.")
endif()
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(source ${FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz)
  target_link_libraries(${name} PRIVATE tamsolo_rules)
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endforeach()
