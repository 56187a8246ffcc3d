# pylarix_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [ENV ...] [TIMEOUT s])
# Every test runs headless (offscreen Qt platform) unless ENV overrides QT_QPA_PLATFORM.
function(pylarix_add_test NAME)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${NAME} ${T_SOURCES})
    target_link_libraries(${NAME} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${NAME} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${NAME} COMMAND ${NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    if(NOT T_LABELS)
        set(T_LABELS unit)
    endif()
    if(PYLARIX_SANITIZE STREQUAL "thread")
        # die_after_fork=0: the thread-limit tests try (and fail) to make a thread in a forked child.
        list(PREPEND T_ENV "TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp")
    endif()
    set_tests_properties(${NAME} PROPERTIES
        LABELS "${T_LABELS}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PYLARIX_SOURCE_DIR=${PROJECT_SOURCE_DIR};PYLARIX_BIN_DIR=${CMAKE_BINARY_DIR}/bin;${T_ENV}")
    if("tsan" IN_LIST T_LABELS)
        add_dependencies(pylarix_tsan_tests ${NAME})
    endif()
    if("asan" IN_LIST T_LABELS)
        add_dependencies(pylarix_asan_tests ${NAME})
    endif()
endfunction()

# pylarix_add_fuzz(NAME SOURCES ... LIBS ... SEEDS <folder made at build time> [SECONDS s])
# A libFuzzer target (clang, PYLARIX_FUZZ=ON) and a test that runs it for a bounded time on its seeds.
function(pylarix_add_fuzz NAME)
    cmake_parse_arguments(F "" "SECONDS;SEEDS" "SOURCES;LIBS" ${ARGN})
    if(NOT F_SECONDS)
        set(F_SECONDS 60)
    endif()
    add_executable(${NAME} ${F_SOURCES})
    target_compile_options(${NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${NAME} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${NAME} PRIVATE ${F_LIBS})
    target_include_directories(${NAME} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    add_dependencies(pylarix_asan_tests ${NAME})
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${NAME}_corpus)
    add_test(NAME ${NAME}
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1
                QT_QPA_PLATFORM=offscreen
                sh -c "mkdir -p '${corpus}' && exec '$<TARGET_FILE:${NAME}>' -max_total_time=${F_SECONDS} -rss_limit_mb=2048 -print_final_stats=1 '${corpus}' '${F_SEEDS}'")
    set_tests_properties(${NAME} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()
