#!/usr/bin/env bash
# Installs what building and testing qx needs on a Debian machine, when it is missing.
# As root it uses apt-get; otherwise it names the packages to install and fails.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_file() { [ -e "$1" ]; }

have_cmd cmake || need+=(cmake)
have_cmd ninja || need+=(ninja-build)
have_cmd g++ || need+=(g++)
have_cmd clang++ || need+=(clang)
have_cmd python3 || need+=(python3)
have_file /usr/include/gtest/gtest.h || need+=(libgtest-dev)
have_file /usr/include/gmock/gmock.h || need+=(libgmock-dev)
have_file /usr/include/benchmark/benchmark.h || need+=(libbenchmark-dev)
# Sanitizer runtimes of g++ (ASan, UBSan, TSan).
compgen -G "/usr/lib/gcc/x86_64-linux-gnu/*/libasan.so" >/dev/null || need+=(libgcc-12-dev)
compgen -G "/usr/lib/x86_64-linux-gnu/libtsan.so*" >/dev/null || need+=(libtsan2)
for extra in "$@"; do
    case "$extra" in
        muparser) have_file /usr/include/muParser.h || have_file /usr/include/muparser/muParser.h || need+=(libmuparser-dev) ;;
        inih) have_file /usr/include/ini.h || need+=(libinih-dev) ;;
        # Qt 6 widget set: headers, and fonts so offscreen rendering shows text.
        qt)
            have_file /usr/lib/x86_64-linux-gnu/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake || need+=(qt6-base-dev)
            have_file /usr/include/GL/gl.h || need+=(libgl-dev)
            have_file /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf || need+=(fonts-dejavu-core)
            have_file /usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf || need+=(fonts-dejavu-extra)
            ;;
        gcovr) have_cmd gcovr || need+=(gcovr) ;;
        format) have_cmd clang-format || need+=(clang-format) ;;
        fuzz) compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null || need+=(libclang-rt-14-dev) ;;
    esac
done

[ ${#need[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "qx: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${need[@]}"
else
    echo "qx: missing packages: ${need[*]}" >&2
    echo "qx: install them with: sudo apt-get install ${need[*]}" >&2
    exit 1
fi
