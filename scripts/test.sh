#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then builds the
# toolkit-free parts with AddressSanitizer and UndefinedBehaviorSanitizer and runs their
# tests again; then builds them with clang, the libFuzzer targets included, and runs
# their tests once more, each fuzz target replaying its corpus (no fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs"

ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    scripts/build.sh build-sanitize -DPIXMORA_SANITIZE=ON -DPIXMORA_BUILD_UI=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

CC=clang CXX=clang++ scripts/build.sh build-fuzz -DPIXMORA_FUZZ=ON -DPIXMORA_BUILD_UI=OFF
ctest --test-dir build-fuzz --output-on-failure -j "$jobs"
