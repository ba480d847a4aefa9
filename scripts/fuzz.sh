#!/usr/bin/env bash
# Builds the fuzz targets (build-fuzz/) and fuzzes each for its share of VEXLOR_FUZZ_SECONDS
# (60 unless set). Exits non-zero when any target finds a fault (a crash, a leak, a timeout or
# running out of memory); the input that caused it is left in build-fuzz/, named after the target.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(opt_fuzzer check_fuzzer layout_fuzzer export_fuzzer diff_fuzzer repair_fuzzer)
total=${VEXLOR_FUZZ_SECONDS:-60}
share=$((total / ${#targets[@]}))
if ((share < 1)); then share=1; fi
echo "== fuzz ${targets[*]} for ${share} seconds each (build-fuzz/)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVEXLOR_FUZZ=ON -DVEXLOR_SANITIZE=ON
cmake --build build-fuzz -j "$(nproc)"

failed=()
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus-$target
    rm -rf "$corpus" && mkdir -p "$corpus"
    # Seeds no longer than the inputs the fuzzer makes; the large samples lend their first bytes.
    for seed in samples/*.opt samples/broken/*.opt; do
        head -c 4096 "$seed" > "$corpus/$(basename "$seed")"
    done
    log=build-fuzz/$target.log
    TIMEFORMAT='%U %S'
    if { time build-fuzz/bin/"$target" "$corpus" -dict=fuzz/opt.dict -max_len=4096 -timeout=10 \
        -rss_limit_mb=4096 -max_total_time="$share" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/"$target"- 2> "$log"; } 2> build-fuzz/"$target".time; then
        # Inputs per second of the clock, and per second of processor time, which other work
        # on the machine changes less.
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        awk -v t="$target" -v n="$runs" -v r="$rate" '{
            perCpu = $1 + $2 > 0 ? n / ($1 + $2) : 0
            printf "%s: %d inputs, %d a second, %d a second of processor time\n", t, n, r, perCpu
        }' build-fuzz/"$target".time
    else
        tail -n 60 "$log"
        echo "$target: fuzzing found a fault"
        failed+=("$target")
    fi
done
if ((${#failed[@]} > 0)); then
    echo "fuzzing found faults in: ${failed[*]}"
    exit 1
fi
echo "fuzzing: no findings"
