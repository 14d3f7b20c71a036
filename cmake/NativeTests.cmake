# Unit tests of the portable rules, run natively.
file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE tamsolo_rules GTest::gtest_main)
target_compile_options(unit_tests PRIVATE -Wall -Wextra)
include(GoogleTest)
gtest_discover_tests(unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
