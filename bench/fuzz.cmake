# libFuzzer builds of the parser fuzz targets in tests/fuzz, with
# AddressSanitizer and UndefinedBehaviorSanitizer; bench/fuzz.sh builds and
# runs them. Clang only: gcc has no libFuzzer.
option(VORLAN_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(NOT VORLAN_FUZZ)
    return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "VORLAN_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++): no fuzz targets")
    return()
endif()

include(${PROJECT_SOURCE_DIR}/tests/fuzz/FuzzTargets.cmake)

set(VORLAN_FUZZ_SANITIZERS address,undefined)
set(VORLAN_FUZZ_COMPILE_OPTIONS -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

# The parsers live in the widget-free libraries: they get the coverage
# instrumentation that guides the fuzzer, and the sanitizers unless the whole
# build has them already.
foreach(lib vorlan_core vorlan_settings_core vorlan_monitor_core vorlan_listen_core
            vorlan_chat_core vorlan_archive_core)
    target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
    if(NOT VORLAN_SANITIZE)
        target_compile_options(${lib} PRIVATE -fsanitize=${VORLAN_FUZZ_SANITIZERS}
                               ${VORLAN_FUZZ_COMPILE_OPTIONS})
        target_link_options(${lib} INTERFACE -fsanitize=${VORLAN_FUZZ_SANITIZERS})
    endif()
endforeach()

foreach(target IN LISTS VORLAN_FUZZ_TARGETS)
    add_executable(fuzz_${target} ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_${target}.cpp)
    target_compile_options(fuzz_${target} PRIVATE
        -fsanitize=fuzzer,${VORLAN_FUZZ_SANITIZERS} ${VORLAN_FUZZ_COMPILE_OPTIONS})
    target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer,${VORLAN_FUZZ_SANITIZERS})
    target_link_libraries(fuzz_${target} PRIVATE ${VORLAN_FUZZ_LIBS_${target}})
endforeach()
