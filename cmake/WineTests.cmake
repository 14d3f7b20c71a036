# The Win32 (win) and end-to-end (e2e) test layers, both run under Wine through the test bed
# (tools/testbed/testbed.py). They share one display and one prefix per build folder, made by
# the fixture test wine_setup and ended by wine_cleanup, so they take the "wine" lock in turn.
set(TAMSOLO_PYTHON /usr/bin/python3 CACHE FILEPATH "Python 3 that runs the test bed and the end-to-end tests")
set(TESTBED ${CMAKE_SOURCE_DIR}/tools/testbed/testbed.py)
set(TESTBED_CMD ${TAMSOLO_PYTHON} -B ${TESTBED} --build-dir ${CMAKE_BINARY_DIR})

add_test(NAME wine_setup COMMAND ${TESTBED_CMD} setup)
set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine TIMEOUT 300 LABELS wine)
add_test(NAME wine_cleanup COMMAND ${TESTBED_CMD} cleanup)
set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine RESOURCE_LOCK wine TIMEOUT 120 LABELS wine)

# Win32 pieces in-process: one GoogleTest program; a screenshot of the display is kept if it fails.
add_test(NAME win_tests
         COMMAND ${TESTBED_CMD} run --timeout 840 --screenshot win_tests_failed.png
                 ${CMAKE_BINARY_DIR}/bin/win_tests.exe --gtest_color=no)
set_tests_properties(win_tests PROPERTIES LABELS win FIXTURES_REQUIRED wine RESOURCE_LOCK wine TIMEOUT 900)

# Whole-program scenarios: each tests/e2e/test_NAME.py is one test, e2e_NAME.
file(GLOB E2E_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(file ${E2E_TEST_FILES})
  get_filename_component(module ${file} NAME_WE)
  string(REGEX REPLACE "^test_" "" name ${module})
  add_test(NAME e2e_${name} COMMAND ${TAMSOLO_PYTHON} -B -m unittest -v ${module}
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  set_tests_properties(e2e_${name} PROPERTIES
    LABELS e2e FIXTURES_REQUIRED "wine;sandbox" RESOURCE_LOCK wine TIMEOUT 600
    ENVIRONMENT "TAMSOLO_BUILD_DIR=${CMAKE_BINARY_DIR};TAMSOLO_SOURCE_DIR=${CMAKE_SOURCE_DIR};PYTHONPATH=${CMAKE_SOURCE_DIR}/tools/testbed:${CMAKE_SOURCE_DIR}/tests/e2e;PYTHONDONTWRITEBYTECODE=1")
endforeach()

# The sandbox server plays the operator for the Win32 tests of HttpGet (the end-to-end tests
# reuse it when it runs); it is started inside the bed, so wine_cleanup ends it too.
add_test(NAME sandbox_start
         COMMAND ${TAMSOLO_PYTHON} -B ${CMAKE_SOURCE_DIR}/tools/sandbox/fixture.py
                 --build-dir ${CMAKE_BINARY_DIR} --port ${TAMSOLO_SANDBOX_PORT})
set_tests_properties(sandbox_start PROPERTIES FIXTURES_SETUP sandbox FIXTURES_REQUIRED wine RESOURCE_LOCK wine
                     TIMEOUT 60 LABELS wine)
set_tests_properties(win_tests PROPERTIES FIXTURES_REQUIRED "wine;sandbox")
