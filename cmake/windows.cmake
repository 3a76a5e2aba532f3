# Windows build: Driftpane.exe, its tests and the benchmark, statically linked so that they
# import nothing but Windows system DLLs.
enable_language(RC)
# The resource script finds the icon, the manifest and the generated archive script here.
include_directories(${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00
    WINVER=0x0A00)
if(MSVC)
    # Static runtime, so the program runs on a bare Windows without redistributables.
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    add_compile_options(/W4 /utf-8 /permissive- /EHsc)
    # Reproducible output: no time stamps in objects and the PE header, no build paths.
    add_compile_options(/Brepro)
    add_link_options(/Brepro)
else()
    add_compile_options(-Wall -Wextra -municode)
    add_link_options(-static -static-libgcc -static-libstdc++ -municode)
    # Reproducible output: no link time in the PE header, no build folder in __FILE__ or
    # symbol names, no build date through __DATE__ or __TIME__. The build folder is mapped
    # last so that it wins when it lies inside the source folder.
    add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=src
        -ffile-prefix-map=${CMAKE_BINARY_DIR}=build -Werror=date-time)
    add_link_options(-Wl,--no-insert-timestamp)
    # A release program without the COFF symbol table, which MinGW's linker appends
    # unaligned: an Authenticode signature pads the file to 8 bytes, and removing it would
    # then not give back the released bytes.
    add_link_options($<$<CONFIG:Release>:-s>)
endif()

# Warnings are errors in the program, its tests and the benchmark. They are set on those
# targets alone (see the end of this file), not on GoogleTest's, which are not ours to mend.
# MSVC keeps /W4 as warnings until a build on Windows has shown it clean (add /WX then): no
# compiler here can tell what it reports, and a first run should show the tests, not stop at
# a warning nobody could see before.
if(MSVC)
    set(DRIFTPANE_WARNINGS)
else()
    set(DRIFTPANE_WARNINGS -Werror -Wpedantic -Wshadow -Wduplicated-cond -Wduplicated-branches
        -Wlogical-op -Wnull-dereference)
endif()

if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    # Tests and the benchmark run under Wine, through the build's own runner.
    set(DRIFTPANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(DRIFTPANE_SOURCE_DIR ${CMAKE_SOURCE_DIR})
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

# oleacc after uuid: both define IID_IAccessible, and the linker must take it from uuid,
# which it pulls in anyway, before it meets the copy in oleacc.
set(DRIFTPANE_WIN_LIBS gdiplus shlwapi shell32 ole32 oleaut32 uuid oleacc comctl32 winhttp bcrypt
    user32 gdi32 kernel32)

add_library(driftpane_free STATIC ${DRIFTPANE_FREE_SOURCES})
target_include_directories(driftpane_free PUBLIC ${CMAKE_SOURCE_DIR})

if(DRIFTPANE_WIN_SOURCES)
    add_library(driftpane_win STATIC ${DRIFTPANE_WIN_SOURCES})
    target_link_libraries(driftpane_win PUBLIC driftpane_free ${DRIFTPANE_WIN_LIBS})
else()
    add_library(driftpane_win INTERFACE)
    target_link_libraries(driftpane_win INTERFACE driftpane_free ${DRIFTPANE_WIN_LIBS})
endif()

# Program resources: icon, version, manifest and the embedded archive photos.
set(DRIFTPANE_RC ${CMAKE_SOURCE_DIR}/app/driftpane.rc)
# The version resource takes the project version from here, so that project() stays its one
# home (tools/release reads it there too). Written only when it changes.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/driftpane_version.h CONTENT
"#define DRIFTPANE_VERSION_NUMBERS @PROJECT_VERSION_MAJOR@, @PROJECT_VERSION_MINOR@, \
@PROJECT_VERSION_PATCH@, 0
#define DRIFTPANE_VERSION_TEXT \"@PROJECT_VERSION@.0\"
" @ONLY)
set_property(SOURCE ${DRIFTPANE_RC} APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_BINARY_DIR}/driftpane_version.h)

if(EXISTS ${CMAKE_SOURCE_DIR}/app/main_win.cpp)
    add_executable(Driftpane WIN32 ${CMAKE_SOURCE_DIR}/app/main_win.cpp ${DRIFTPANE_RC})
    target_link_libraries(Driftpane PRIVATE driftpane_win)
endif()

file(GLOB win_tests CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/win/*.cpp")
if(win_tests)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    if(EXISTS ${GOOGLETEST_DIR}/CMakeLists.txt)
        add_subdirectory(${GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    else()
        # No local sources (Windows has no Debian package): a pinned release, checked by
        # its digest before use.
        message(STATUS "No GoogleTest sources at ${GOOGLETEST_DIR}: fetching release 1.14.0")
        if(POLICY CMP0135)
            cmake_policy(SET CMP0135 NEW)
        endif()
        include(FetchContent)
        FetchContent_Declare(googletest
            URL https://github.com/google/googletest/archive/refs/tags/v1.14.0.tar.gz
            URL_HASH SHA256=8ad598c73ad796e0d8280b082cebd82a630d73e73cd3c70057938a6501bba5d7)
        FetchContent_MakeAvailable(googletest)
    endif()

    # Console program: the tests print to the terminal; windows are still created normally.
    add_executable(driftpane_win_tests ${win_tests} ${DRIFTPANE_RC})
    target_link_libraries(driftpane_win_tests PRIVATE driftpane_win GTest::gtest)
    target_compile_definitions(driftpane_win_tests PRIVATE
        DRIFTPANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    if(TARGET Driftpane)
        add_dependencies(driftpane_win_tests Driftpane)
    endif()
    add_test(NAME windows_tests COMMAND driftpane_win_tests)
    set_tests_properties(windows_tests PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 1200)
endif()

file(GLOB bench_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/bench/*.cpp")
if(bench_sources)
    add_executable(driftpane_bench ${bench_sources} ${DRIFTPANE_RC})
    target_link_libraries(driftpane_bench PRIVATE driftpane_win)
    target_compile_definitions(driftpane_bench PRIVATE DRIFTPANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
        add_custom_target(bench COMMAND ${CMAKE_SOURCE_DIR}/tools/bench ${CMAKE_BINARY_DIR}
            DEPENDS driftpane_bench USES_TERMINAL)
    else()
        add_custom_target(bench COMMAND driftpane_bench DEPENDS driftpane_bench USES_TERMINAL)
    endif()
endif()

# Every compiled target of this folder is the project's own (GoogleTest's live in its own
# folder); resource scripts keep the flags windres knows.
get_property(own_targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
foreach(target IN LISTS own_targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
        target_compile_options(${target} PRIVATE
            "$<$<COMPILE_LANGUAGE:CXX>:${DRIFTPANE_WARNINGS}>")
    endif()
endforeach()

# The release files from this build's program (tools/release: Python 3 and Debian's makensis).
if(TARGET Driftpane AND CMAKE_HOST_UNIX)
    add_custom_target(release
        COMMAND ${CMAKE_SOURCE_DIR}/tools/release --exe $<TARGET_FILE:Driftpane>
        DEPENDS Driftpane USES_TERMINAL)
endif()
