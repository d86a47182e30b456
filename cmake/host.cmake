# Native build of the window-free logic, under AddressSanitizer and UBSan.
set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(window_free STATIC ${WINDOW_FREE_SOURCES})
target_include_directories(window_free PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(window_free PUBLIC ${BRENNIK_CHARSET} ${BRENNIK_WARNINGS} ${SANITIZE} -g)
target_link_options(window_free PUBLIC ${SANITIZE})

file(GLOB HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(host_tests ${HOST_TESTS})
target_link_libraries(host_tests window_free gtest_main)
add_test(NAME host_tests COMMAND host_tests)

# The folders stay in layers: no include points from a folder to one above it.
add_test(NAME layers COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check_layers.sh)
# Test drivers started together each get an X server, and so a clipboard, of their own.
add_test(NAME own_display COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check_xvfb.sh)
