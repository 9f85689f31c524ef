#!/usr/bin/env bash
# Builds the settings fuzzer with clang and runs it for a bounded time over the committed seeds.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
orvelle_install_packages $orvelle_build_packages clang-14 libclang-rt-14-dev
orvelle_build fuzz >/dev/null
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/corpus/* "$corpus"/
build/fuzz/tests/fuzz/fuzz_settings -max_total_time="${1:-60}" -max_len=1024 -print_final_stats=1 \
  "$corpus" 2>&1 | grep -E '^(#[0-9]+ +DONE|Done|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' || true
exit "${PIPESTATUS[0]}"
