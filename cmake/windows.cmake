# The Windows program, its Wine tests and the end-to-end driver.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(RES_OUT ${CMAKE_BINARY_DIR}/res)
add_custom_command(
    OUTPUT ${RES_OUT}/toolbar.bmp ${RES_OUT}/main.ico
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/res/draw_images.py ${RES_OUT}
    DEPENDS ${CMAKE_SOURCE_DIR}/res/draw_images.py
    COMMENT "Drawing the toolbar strip and the icon")
add_custom_command(
    OUTPUT ${RES_OUT}/brennik_res.o
    COMMAND ${CMAKE_RC_COMPILER} -I ${CMAKE_SOURCE_DIR}/res -I ${CMAKE_SOURCE_DIR} -I ${RES_OUT}
            -i ${CMAKE_SOURCE_DIR}/res/brennik.rc -o ${RES_OUT}/brennik_res.o
    DEPENDS ${CMAKE_SOURCE_DIR}/res/brennik.rc ${CMAKE_SOURCE_DIR}/res/resource.h
            ${CMAKE_SOURCE_DIR}/res/brennik.manifest ${CMAKE_SOURCE_DIR}/app/version.h
            ${RES_OUT}/toolbar.bmp ${RES_OUT}/main.ico
    COMMENT "Compiling the resource script")
add_custom_target(brennik_resources DEPENDS ${RES_OUT}/brennik_res.o)

file(GLOB PROGRAM_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/panes/*.cpp ${CMAKE_SOURCE_DIR}/assoc/*.cpp
    ${CMAKE_SOURCE_DIR}/fileops/*.cpp ${CMAKE_SOURCE_DIR}/exchange/*.cpp ${CMAKE_SOURCE_DIR}/base/*.cpp
    ${CMAKE_SOURCE_DIR}/core/*.cpp)
list(REMOVE_ITEM PROGRAM_SOURCES ${CMAKE_SOURCE_DIR}/app/main.cpp)

set(WIN_LIBS -lcomctl32 -lshell32 -lole32 -luuid -lgdi32 -lcomdlg32 -lversion -lntdll)

add_library(brennik_core STATIC ${PROGRAM_SOURCES})
target_include_directories(brennik_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(brennik_core PUBLIC WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
target_compile_options(brennik_core PUBLIC ${BRENNIK_CHARSET} ${BRENNIK_WARNINGS} -fno-exceptions -fno-rtti)
target_link_options(brennik_core PUBLIC -static)
target_link_libraries(brennik_core PUBLIC ${WIN_LIBS})

add_executable(Brennik WIN32 app/main.cpp ${RES_OUT}/brennik_res.o)
add_dependencies(Brennik brennik_resources)
target_link_libraries(Brennik brennik_core)

# Every Wine test runs where a valid "Brenn.dat" is, since the core object reads
# it before any test can answer a message box.
set(TEST_WORK ${CMAKE_BINARY_DIR}/testwork)
file(MAKE_DIRECTORY ${TEST_WORK})
configure_file(${CMAKE_SOURCE_DIR}/tests/fixtures/Brenn.dat ${TEST_WORK}/Brenn.dat COPYONLY)

add_library(win_test_support STATIC tests/win/support/win_test_support.cpp)
target_link_libraries(win_test_support PUBLIC brennik_core gtest)
target_compile_options(win_test_support PUBLIC -fexceptions -frtti)

file(GLOB WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
foreach(source ${WIN_TESTS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source} ${RES_OUT}/brennik_res.o)
    add_dependencies(${name} brennik_resources)
    target_link_libraries(${name} win_test_support gtest_main)
    add_test(NAME win.${name} COMMAND ${name} WORKING_DIRECTORY ${TEST_WORK})
    set_tests_properties(win.${name} PROPERTIES LABELS win TIMEOUT 300)
endforeach()

add_library(e2e_support STATIC tests/e2e/e2e_support.cpp)
target_link_libraries(e2e_support PUBLIC win_test_support)

file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
foreach(source ${E2E_TESTS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    add_dependencies(${name} Brennik)
    target_link_libraries(${name} e2e_support gtest_main)
    add_test(NAME e2e.${name} COMMAND ${name} WORKING_DIRECTORY ${TEST_WORK})
    set_tests_properties(e2e.${name} PROPERTIES LABELS e2e TIMEOUT 300)
endforeach()

add_executable(recorder WIN32 tests/win/support/recorder.cpp)
target_link_options(recorder PRIVATE -static)
target_link_libraries(recorder -lshell32)

add_executable(wine_warmup tests/win/support/warmup.cpp)
target_link_options(wine_warmup PRIVATE -static)

# Benchmarks: programs that print figures, not tests.
add_executable(sort_bench tests/bench/sort_bench.cpp)
target_link_libraries(sort_bench brennik_core)
add_executable(fileops_bench tests/bench/fileops_bench.cpp)
target_link_libraries(fileops_bench brennik_core -lpsapi)
add_executable(window_bench tests/bench/window_bench.cpp)
add_dependencies(window_bench Brennik)
target_link_libraries(window_bench e2e_support)

# The random-action driver: a short run with a fixed seed in every test run,
# long ones with `make soak`.
add_executable(soak_driver tests/soak/soak_main.cpp tests/soak/soak_actions.cpp tests/soak/soak_oracle.cpp
    ${RES_OUT}/brennik_res.o)
add_dependencies(soak_driver brennik_resources recorder)
target_link_libraries(soak_driver win_test_support)
add_test(NAME win.soak_short COMMAND soak_driver 200 20261208 WORKING_DIRECTORY ${TEST_WORK})
set_tests_properties(win.soak_short PROPERTIES LABELS win TIMEOUT 300)
