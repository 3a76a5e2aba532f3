# Native (host) build: the platform-free code with its tests under the sanitizers, the
# fuzz targets when the compiler is clang, and the Windows build as a sub-build.
option(DRIFTPANE_SANITIZE "Build the native code with AddressSanitizer and UBSan" ON)
option(DRIFTPANE_WINDOWS "Cross-build the Windows program and run its tests under Wine" ON)

if(DRIFTPANE_SANITIZE)
    set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    add_compile_options(${sanitize_flags})
    add_link_options(${sanitize_flags})
endif()
add_compile_options(-Wall -Wextra)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(driftpane_free STATIC ${DRIFTPANE_FREE_SOURCES})
target_include_directories(driftpane_free PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB native_tests CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/native/*.cpp")
add_executable(driftpane_native_tests ${native_tests})
target_link_libraries(driftpane_native_tests PRIVATE driftpane_free GTest::gtest_main)
target_compile_definitions(driftpane_native_tests PRIVATE
    DRIFTPANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_test(NAME native_tests COMMAND driftpane_native_tests)

# Every tracked C++ source as clang-format writes it under the committed .clang-format.
add_test(NAME format COMMAND ${CMAKE_SOURCE_DIR}/tools/check-format)
# clang-tidy over every product source, the Windows ones for the MinGW-w64 target. It takes
# minutes, so it carries a label: tools/test-all leaves it out and .ci/run runs it (ctest -L tidy).
add_test(NAME clang_tidy COMMAND ${CMAKE_SOURCE_DIR}/tools/clang-tidy-all)
set_tests_properties(clang_tidy PROPERTIES LABELS tidy TIMEOUT 1800)

# Every Windows source (product, tests, benchmark) through a second compiler: clang for the
# MinGW-w64 target, warnings as errors. About a second and a half per file, so it runs with
# the other tests.
add_test(NAME clang_windows COMMAND ${CMAKE_SOURCE_DIR}/tools/check-clang-windows)
set_tests_properties(clang_windows PROPERTIES TIMEOUT 600)

# The forge's workflows against the published schema (action-validator, from npm into the
# build folder), every action pinned, every run step a script that the tests here run.
add_test(NAME workflow_tests COMMAND ${CMAKE_SOURCE_DIR}/tests/release/workflow_test.py
    --work ${CMAKE_BINARY_DIR}/action-validator)

# Fuzz targets: tests/fuzz/<name>_fuzz.cpp with a seed corpus in tests/fuzz/<name>_corpus.
# The test run replays the corpus; `cmake --build . --target fuzz-<name>` fuzzes for a while.
file(GLOB fuzz_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp")
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND fuzz_sources)
    # The code under fuzzing needs coverage instrumentation of its own, or libFuzzer sees
    # only the target's few edges; the tests keep the uninstrumented library.
    add_library(driftpane_free_fuzz STATIC ${DRIFTPANE_FREE_SOURCES})
    target_include_directories(driftpane_free_fuzz PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(driftpane_free_fuzz PRIVATE -fsanitize=fuzzer-no-link)
    foreach(source IN LISTS fuzz_sources)
        get_filename_component(name "${source}" NAME_WE)
        string(REGEX REPLACE "_fuzz$" "" short "${name}")
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE driftpane_free_fuzz)
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        set(corpus "${CMAKE_SOURCE_DIR}/tests/fuzz/${short}_corpus")
        add_test(NAME ${name}_corpus COMMAND ${name} -runs=0 ${corpus})
        add_custom_target(fuzz-${short}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz-${short}
            COMMAND $<TARGET_FILE:${name}> -max_total_time=120 -max_len=4096
                    ${CMAKE_BINARY_DIR}/fuzz-${short} ${corpus}
            DEPENDS ${name} USES_TERMINAL)
    endforeach()
elseif(fuzz_sources)
    message(STATUS "Fuzz targets need clang; skipped with ${CMAKE_CXX_COMPILER_ID}")
endif()

# Warnings are errors in the project's own targets, all of which live in this folder;
# GoogleTest's live in its own and keep its warnings as they are.
get_property(own_targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
foreach(target IN LISTS own_targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endforeach()

if(DRIFTPANE_WINDOWS)
    include(ExternalProject)
    set(win_dir ${CMAKE_BINARY_DIR}/win)
    ExternalProject_Add(windows
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${win_dir}
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
                   -DCMAKE_BUILD_TYPE=Release
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        USES_TERMINAL_BUILD ON)
    # The Windows tests are registered here too, so one ctest run covers both builds.
    # Every Wine test shares the one prefix, so they take turns.
    add_test(NAME windows_tests COMMAND ${win_dir}/wine-run ${win_dir}/driftpane_win_tests.exe)
    set_tests_properties(windows_tests PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 1200)
    # A disk that fills up during a write, for real: a small tmpfs in a private mount
    # namespace (root only; skipped otherwise).
    add_test(NAME full_disk_tests
             COMMAND ${CMAKE_SOURCE_DIR}/tests/fault/full_disk.sh ${win_dir})
    set_tests_properties(full_disk_tests PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 300
                         SKIP_RETURN_CODE 77)
    # The download against a real TLS server in a private network namespace (root only;
    # skipped otherwise), with the short test of tools/fetch_originals.py.
    add_test(NAME download_tests COMMAND ${CMAKE_SOURCE_DIR}/tests/download_tests.sh ${win_dir}
        "DownloadServerTest.*:DownloadServerMatrix.*" --with-tool)
    set_tests_properties(download_tests PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 1200
        SKIP_RETURN_CODE 77)
    # Stalled and trickling bodies wait out the 15 s and 60 s limits, several minutes in all:
    # tools/test-all leaves them out and .ci/run runs them (ctest -L long).
    add_test(NAME download_long_tests COMMAND ${CMAKE_COMMAND} -E env DRIFTPANE_LONG_TESTS=1
        ${CMAKE_SOURCE_DIR}/tests/download_tests.sh ${win_dir} "DownloadServerLong.*" --with-tool)
    set_tests_properties(download_long_tests PROPERTIES LABELS long RESOURCE_LOCK wineprefix
        TIMEOUT 1200 SKIP_RETURN_CODE 77)
    add_custom_target(bench
        COMMAND ${CMAKE_SOURCE_DIR}/tools/bench ${win_dir}
        DEPENDS windows WORKING_DIRECTORY ${win_dir} USES_TERMINAL)
    add_custom_target(run
        COMMAND ${win_dir}/wine-run ${win_dir}/Driftpane.exe
        DEPENDS windows USES_TERMINAL)
    # The release files (zip, installer, SHA256SUMS) in dist/, made from the program above.
    add_custom_target(release
        COMMAND ${CMAKE_SOURCE_DIR}/tools/release --exe ${win_dir}/Driftpane.exe
        DEPENDS windows USES_TERMINAL)
    # The release tried as a user would, under Wine in a prefix of its own.
    add_test(NAME release_tests COMMAND ${CMAKE_SOURCE_DIR}/tests/release/release_test.py
        --exe ${win_dir}/Driftpane.exe --work ${CMAKE_BINARY_DIR}/release-test)
    set_tests_properties(release_tests PROPERTIES TIMEOUT 900)
    # A second release built from scratch elsewhere takes minutes, so it carries a label:
    # tools/test-all leaves it out and .ci/run runs it (ctest -L reproducible).
    add_test(NAME release_reproducible
        COMMAND ${CMAKE_SOURCE_DIR}/tests/release/reproducible_test.py
        --exe ${win_dir}/Driftpane.exe --work ${CMAKE_BINARY_DIR}/release-reproducible)
    set_tests_properties(release_reproducible PROPERTIES LABELS reproducible TIMEOUT 1800)
    # The forge's Windows job script, here on the MinGW build with one quick test suite.
    add_test(NAME windows_ci_script COMMAND ${CMAKE_COMMAND} -E env GTEST_FILTER=Sha256.*
        ${CMAKE_SOURCE_DIR}/.ci/windows ${win_dir})
    set_tests_properties(windows_ci_script PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 600)
endif()
