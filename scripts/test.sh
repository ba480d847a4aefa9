#!/usr/bin/env bash
# Sets the machine up, builds, and runs every test: the normal build, the Debian package (lintian,
# and an install on this machine when run as root), the same tests under
# AddressSanitizer + UndefinedBehaviorSanitizer, and a minute of fuzzing the reader and the check;
# after the builds, that every file they read comes from a package scripts/setup.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc)
# Window tests need a display: a virtual X server for the whole run.
run_with_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then "$@"; else
        # -noreset: the server must not restart between test programs, or the next one cannot connect.
        xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" "$@"; fi
}
export QT_QPA_PLATFORM=xcb

echo "== build and test (build/)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DVEXLOR_BENCH=ON
cmake --build build -j "$jobs"
run_with_display ctest --test-dir build --output-on-failure -j "$jobs"
# Everything the build read comes from a package that scripts/setup.sh installs.
scripts/check-setup.sh build

echo "== package (build-package/), check it with lintian, install it here and remove it again"
scripts/package.sh
tests/install/DebInstall.sh build-package/optvexlor_*.deb .

echo "== build and test with sanitizers (build-asan/)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXLOR_SANITIZE=ON -DBUILD_TESTING=ON -DVEXLOR_BENCH=OFF
cmake --build build-asan -j "$jobs"
# intercept_tls_get_addr=0: see src/reader/SanitizerOptions.h (the leak check's crash now and
# then in programs that load the OpenGL driver).
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
    run_with_display ctest --test-dir build-asan --output-on-failure -j "$jobs"

# A minute of fuzzing, shared among the fuzz targets; any finding fails the run.
VEXLOR_FUZZ_SECONDS="${VEXLOR_FUZZ_SECONDS:-60}" scripts/fuzz.sh

# The other builds read only what scripts/setup.sh installs too (the sanitizers' and the fuzzer's
# runtimes, the packaging flags).
scripts/check-setup.sh build-package build-asan build-fuzz
