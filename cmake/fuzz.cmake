# libFuzzer targets over the window-free code, built with clang under ASan and
# UBSan. Each target also runs over its seed corpus as a test, so a crash that
# was once found stays fixed.
set(FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)

add_library(fuzz_window_free STATIC ${WINDOW_FREE_SOURCES})
target_include_directories(fuzz_window_free PUBLIC ${CMAKE_SOURCE_DIR})
# clang has no code page 932 execution charset; no scan depends on the bytes
# of a text literal, so the literals stay UTF-8 here.
target_compile_options(fuzz_window_free PUBLIC -fsanitize=fuzzer-no-link,address,undefined
                       -fno-sanitize-recover=all -fno-omit-frame-pointer -g)

file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(source ${FUZZ_TARGETS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} fuzz_window_free)
    target_compile_options(${name} PRIVATE ${FUZZ_FLAGS})
    target_link_options(${name} PRIVATE ${FUZZ_FLAGS})
    string(REPLACE "fuzz_" "" corpus ${name})
    add_test(NAME fuzz.${name} COMMAND ${name} -runs=0 ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${corpus})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endforeach()
