# libFuzzer over the custom desk reader and builder (offscreen), for a clang configuration with
# VPT64_FUZZ on. Its seeds are the example desks and a few hand-made files; ctest runs it for a
# bounded time with the label "fuzz".
if(VPT64_FUZZ)
    add_executable(desk_file_fuzz ${CMAKE_CURRENT_LIST_DIR}/desk_file_fuzz.cpp)
    target_compile_options(desk_file_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_options(desk_file_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_libraries(desk_file_fuzz PRIVATE vbox)
    set(DESK_FUZZ_CORPUS ${CMAKE_CURRENT_BINARY_DIR}/desk_file_corpus)
    add_test(NAME desk_file_fuzz_bounded
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp
                $<TARGET_FILE:desk_file_fuzz> -max_total_time=120 -rss_limit_mb=2048
                -timeout=10 ${DESK_FUZZ_CORPUS} ${CMAKE_CURRENT_LIST_DIR}/corpus/desk_file
                ${PROJECT_SOURCE_DIR}/resources/customfiles)
    set_tests_properties(desk_file_fuzz_bounded PROPERTIES LABELS fuzz TIMEOUT 300)
    file(MAKE_DIRECTORY ${DESK_FUZZ_CORPUS})
endif()
