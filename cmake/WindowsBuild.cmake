# The Win32 side: Tamsolo.exe (demo build), its test build, the Win32 test program and the test tools.
enable_language(RC)

option(TAMSOLO_SANDBOX "Point every operator address at the local sandbox server" ON)
if(TAMSOLO_SANDBOX)
  set(_h "http://127.0.0.1:${TAMSOLO_SANDBOX_PORT}")
  set(TAMSOLO_STAT_HOST   "${_h}" CACHE STRING "")
  set(TAMSOLO_UPDATE_HOST "${_h}" CACHE STRING "")
  set(TAMSOLO_NOTICE_HOST "${_h}" CACHE STRING "")
  set(TAMSOLO_HALL_SITE   "${_h}/hall/" CACHE STRING "")
  set(TAMSOLO_LOGIN_HOST  "${_h}" CACHE STRING "")
  set(TAMSOLO_CLIENT_HOST "${_h}" CACHE STRING "")
  set(TAMSOLO_PARTNER_CALLBACK_HOST "${_h}" CACHE STRING "")
  set(TAMSOLO_WEIBO_CALLBACK_HOST   "${_h}" CACHE STRING "")
  set(TAMSOLO_DOMAIN_1 "127.0.0.1" CACHE STRING "")
  set(TAMSOLO_DOMAIN_2 "localhost" CACHE STRING "")
  set(TAMSOLO_DOMAIN_3 "kelvra.com" CACHE STRING "")
else()
  set(TAMSOLO_STAT_HOST   "http://tj.kelvra.com" CACHE STRING "")
  set(TAMSOLO_UPDATE_HOST "http://update.kelvra.com" CACHE STRING "")
  set(TAMSOLO_NOTICE_HOST "http://www.kelvra.com" CACHE STRING "")
  set(TAMSOLO_HALL_SITE   "http://hall.kelvra.com/" CACHE STRING "")
  set(TAMSOLO_LOGIN_HOST  "http://gameapp.kelvra.com" CACHE STRING "")
  set(TAMSOLO_CLIENT_HOST "http://client.kelvra.com" CACHE STRING "")
  set(TAMSOLO_PARTNER_CALLBACK_HOST "http://gameapp.kelvra.com" CACHE STRING "")
  set(TAMSOLO_WEIBO_CALLBACK_HOST   "http://extlogin.kelvra.com" CACHE STRING "")
  set(TAMSOLO_DOMAIN_1 "kelvra.com" CACHE STRING "")
  set(TAMSOLO_DOMAIN_2 "kelvra.cn" CACHE STRING "")
  set(TAMSOLO_DOMAIN_3 "kelvracdn.com" CACHE STRING "")
endif()
# The QQ service's authorisation page is outside the operator's reach: the same in every build.
set(TAMSOLO_QQ_AUTH_HOST "https://graph.qq.com" CACHE STRING "")
configure_file(${CMAKE_SOURCE_DIR}/cmake/operator_config.h.in ${CMAKE_BINARY_DIR}/generated/operator_config.h @ONLY)

set(WIN_SOURCES ${ALL_SOURCES})
list(FILTER WIN_SOURCES INCLUDE REGEX "_win\\.cpp$")
set(FLAVOR_SOURCES ${WIN_SOURCES})
list(FILTER FLAVOR_SOURCES INCLUDE REGEX "_flavor_win\\.cpp$")
list(FILTER WIN_SOURCES EXCLUDE REGEX "_flavor_win\\.cpp$|/main_win\\.cpp$")

set(TAMSOLO_WIN_LIBS gdiplus comctl32 shell32 ole32 oleaut32 uuid dxguid wininet winmm advapi32 user32 gdi32 version)
set(TAMSOLO_WIN_DEFS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)

target_compile_definitions(tamsolo_rules PUBLIC ${TAMSOLO_WIN_DEFS})

add_library(tamsolo_win STATIC ${WIN_SOURCES})
target_include_directories(tamsolo_win PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
target_compile_options(tamsolo_win PRIVATE ${TAMSOLO_WARNINGS} -Werror)
target_link_libraries(tamsolo_win PUBLIC tamsolo_rules ${TAMSOLO_WIN_LIBS})

set(TAMSOLO_LINK_STATIC -static -static-libgcc -static-libstdc++)
set(TAMSOLO_RC ${CMAKE_SOURCE_DIR}/res/tamsolo.rc)
file(GLOB_RECURSE RES_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*)
set_source_files_properties(${TAMSOLO_RC} PROPERTIES OBJECT_DEPENDS "${RES_FILES}")

# name: target; dir: output folder; defs: extra definitions for the flavour files.
function(tamsolo_executable name dir)
  add_executable(${name} WIN32 ${CMAKE_SOURCE_DIR}/src/app/main_win.cpp ${FLAVOR_SOURCES} ${TAMSOLO_RC})
  target_link_libraries(${name} PRIVATE tamsolo_win)
  target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${TAMSOLO_WARNINGS} -Werror>)
  target_compile_definitions(${name} PRIVATE ${ARGN})
  target_link_options(${name} PRIVATE ${TAMSOLO_LINK_STATIC} -municode -mwindows $<$<CONFIG:MinSizeRel,Release>:-s>)
  set_target_properties(${name} PROPERTIES OUTPUT_NAME Tamsolo RUNTIME_OUTPUT_DIRECTORY ${dir})
endfunction()

# The demo build: what the README runs, every address at the sandbox (or the operator with -DTAMSOLO_SANDBOX=OFF).
tamsolo_executable(tamsolo ${CMAKE_BINARY_DIR}/bin)
# The test build: the same program plus a trace of its hand-over points for the end-to-end tests.
tamsolo_executable(tamsolo_test ${CMAKE_BINARY_DIR}/testbin TAMSOLO_TEST_BUILD=1)

# Win32 tests in-process, run under Wine.
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(win_tests ${WIN_TEST_SOURCES} ${FLAVOR_SOURCES} ${TAMSOLO_RC})
target_link_libraries(win_tests PRIVATE tamsolo_win gtest_main)
target_compile_options(win_tests PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra>)
target_link_options(win_tests PRIVATE ${TAMSOLO_LINK_STATIC})
target_compile_definitions(win_tests PRIVATE TAMSOLO_TEST_BUILD=1)
set_target_properties(win_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# A stand-in for the game's plug-in, which the sound tests load while muted. Always loaded in the
# same place, so that it comes back where it was after being unloaded.
add_library(fakeplugin SHARED ${CMAKE_SOURCE_DIR}/tests/win/dlls/fakeplugin.cpp)
target_compile_definitions(fakeplugin PRIVATE ${TAMSOLO_WIN_DEFS})
target_link_libraries(fakeplugin PRIVATE dsound winmm ole32 uuid dxguid)
target_link_options(fakeplugin PRIVATE -static-libgcc -static-libstdc++ -Wl,--disable-dynamicbase)
set_target_properties(fakeplugin PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_dependencies(win_tests fakeplugin)

# Small helper programs the Win32 and end-to-end tests start (tests/win/programs/NAME.cpp -> NAME.exe).
file(GLOB WIN_TEST_PROGRAMS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/programs/*.cpp)
foreach(src ${WIN_TEST_PROGRAMS})
  get_filename_component(prog ${src} NAME_WE)
  add_executable(${prog} ${src} ${FLAVOR_SOURCES})
  target_link_libraries(${prog} PRIVATE tamsolo_win)
  # The test flavour: a program that shows a page carries the browser's test channel.
  target_compile_definitions(${prog} PRIVATE TAMSOLO_TEST_BUILD=1)
  target_link_options(${prog} PRIVATE ${TAMSOLO_LINK_STATIC} -municode)
  # A program with a wWinMain is a windowed one (no console window when another program starts it).
  file(STRINGS ${src} _winmain REGEX "wWinMain")
  if(_winmain)
    target_link_options(${prog} PRIVATE -mwindows)
  endif()
  set_target_properties(${prog} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endforeach()

# The benchmarks' programs (tools/bench/bench.sh; never run by the tests): barewnd.exe, the bare
# window every figure is set beside, needs nothing of the launcher; benchrun.exe times the
# launcher's own code from inside Wine.
add_executable(barewnd WIN32 ${CMAKE_SOURCE_DIR}/tools/bench/barewnd.cpp)
target_compile_definitions(barewnd PRIVATE ${TAMSOLO_WIN_DEFS})
target_link_options(barewnd PRIVATE ${TAMSOLO_LINK_STATIC} -municode -mwindows $<$<CONFIG:MinSizeRel,Release>:-s>)
add_executable(benchrun ${CMAKE_SOURCE_DIR}/tools/bench/benchrun.cpp ${FLAVOR_SOURCES})
target_link_libraries(benchrun PRIVATE tamsolo_win)
target_compile_options(benchrun PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${TAMSOLO_WARNINGS} -Werror>)
target_link_options(benchrun PRIVATE ${TAMSOLO_LINK_STATIC} -municode)
set_target_properties(barewnd benchrun PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The test probe.
file(GLOB WINPROBE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/winprobe/*.cpp)
if(WINPROBE_SOURCES)
add_executable(winprobe ${WINPROBE_SOURCES})
target_include_directories(winprobe PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(winprobe PRIVATE -Wall -Wextra)
target_compile_definitions(winprobe PRIVATE ${TAMSOLO_WIN_DEFS})
target_link_libraries(winprobe PRIVATE user32 gdi32 gdiplus advapi32 shell32 ole32 uuid)
target_link_options(winprobe PRIVATE ${TAMSOLO_LINK_STATIC} -municode)
set_target_properties(winprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endif()

include(cmake/WineTests.cmake)

# The notice pictures the tests serve through the sandbox (whichever sandbox answers the port).
set(NOTICE_PICTURES)
foreach(pic "notice_test.jpg;75;80" "poster_test.jpg;163;190")
  list(GET pic 0 name)
  list(GET pic 1 w)
  list(GET pic 2 h)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/${name}
                     COMMAND ${TAMSOLO_PYTHON} -B ${CMAKE_SOURCE_DIR}/tools/sandbox/jpeg.py ${CMAKE_BINARY_DIR}/bin/${name} ${w} ${h}
                     DEPENDS ${CMAKE_SOURCE_DIR}/tools/sandbox/jpeg.py)
  list(APPEND NOTICE_PICTURES ${CMAKE_BINARY_DIR}/bin/${name})
endforeach()
add_custom_target(notice_pictures ALL DEPENDS ${NOTICE_PICTURES})
