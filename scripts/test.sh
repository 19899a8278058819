#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then builds it with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the tests again, the window's
# included (headless); then with ThreadSanitizer, since the runs and previews are made on
# worker threads; then builds the toolkit-free parts with clang, the libFuzzer targets
# included, and runs their tests once more, each fuzz target replaying its corpus (no
# fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs"

# The end-to-end window test and the install checks gain nothing from a sanitizer.
unsanitized='window_end_to_end|installed_files_validate|manual_lists_the_help_options'

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
scripts/build.sh build-sanitize -DPIXMORA_SANITIZE=ON -DPIXMORA_BUILD_UI=ON
ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -E "$unsanitized"
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

scripts/build.sh build-tsan -DPIXMORA_SANITIZE_THREAD=ON -DPIXMORA_BUILD_UI=ON
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp" \
    ctest --test-dir build-tsan --output-on-failure -j "$jobs" -E "$unsanitized"

CC=clang CXX=clang++ scripts/build.sh build-fuzz -DPIXMORA_FUZZ=ON -DPIXMORA_BUILD_UI=OFF
ctest --test-dir build-fuzz --output-on-failure -j "$jobs"
