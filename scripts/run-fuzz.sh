#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz build for SECONDS seconds each (60
# when not given), from its seed corpus in fuzz/corpus/<target>/. Inputs found
# along the way are kept in build/fuzz/corpus/, inputs that fail in
# build/fuzz/findings/, and each run's output in build/fuzz/<target>.log.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."

status=0
for fuzzer in build/fuzz/bin/*_fuzzer; do
    name=$(basename "$fuzzer" _fuzzer)
    corpus=build/fuzz/corpus/$name
    findings=build/fuzz/findings/$name
    log=build/fuzz/$name.log
    mkdir -p "$corpus" "$findings"
    # -timeout: one input taking seconds is a finding (a parse gone quadratic).
    if "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$name" >"$log" 2>&1; then
        inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz $name: clean, $inputs inputs in $seconds s"
    else
        echo "fuzz $name: FAILED, output in $log:"
        tail -n 40 "$log"
        status=1
    fi
done
exit $status
