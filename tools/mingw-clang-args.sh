# Sourced by tools/clang-tidy-all and tools/check-clang-windows, from the source folder: sets
# mingw_clang_args to the clang arguments that read a Windows source as cmake/windows.cmake
# builds it, for the MinGW-w64 target.
#
# clang 14 reads the host's headers even with --target, so the MinGW g++ include folders
# (its C++ library first, then clang's own builtin headers in place of GCC's, then the rest)
# are given by hand, the way g++ reports them.
mingw_dirs=$(x86_64-w64-mingw32-g++-posix -xc++ -E -v /dev/null 2>&1 |
    sed -n '/^#include <\.\.\.> search starts here:/,/^End of search list\./s/^ //p')
mingw_clang_args="--target=x86_64-w64-mingw32 -std=c++20 -nostdinc"
for dir in $mingw_dirs; do
    case "$dir" in */include/c++*) mingw_clang_args="$mingw_clang_args -isystem $dir" ;; esac
done
mingw_clang_args="$mingw_clang_args -isystem $(clang -print-resource-dir)/include"
for dir in $mingw_dirs; do
    case "$dir" in */include/c++*) ;; *) mingw_clang_args="$mingw_clang_args -isystem $dir" ;; esac
done
# The definitions of cmake/windows.cmake.
mingw_clang_args="$mingw_clang_args -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX"
mingw_clang_args="$mingw_clang_args -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00 -I."
unset mingw_dirs dir
