#!/usr/bin/env bash
# Builds the fuzz targets (build-fuzz/) and fuzzes each for its share of VEXLOR_FUZZ_SECONDS
# (60 unless set), starting from its kept corpus (fuzz/corpus/TARGET/, copied into build-fuzz/ so
# that the run writes nothing in the repository) and the first 4 KiB of every sample. Exits
# non-zero when any target finds a fault (a crash, a leak, a timeout or running out of memory);
# the input that caused it is left in build-fuzz/, named after the target.
#
# usage: scripts/fuzz.sh [--grow]
#   --grow  after the run, merge the inputs it found that reach code the kept corpus does not
#           into fuzz/corpus/TARGET/ (libFuzzer's merge, -set_cover_merge=1, keeps the fewest
#           inputs that reach the new edges), to be committed; run it with a longer
#           VEXLOR_FUZZ_SECONDS.
set -euo pipefail
cd "$(dirname "$0")/.."

grow=false
for argument in "$@"; do
    case $argument in
        --grow) grow=true ;;
        *) echo "usage: scripts/fuzz.sh [--grow]" >&2; exit 2 ;;
    esac
done

targets=(opt_fuzzer check_fuzzer layout_fuzzer export_fuzzer diff_fuzzer repair_fuzzer)
total=${VEXLOR_FUZZ_SECONDS:-60}
share=$((total / ${#targets[@]}))
if ((share < 1)); then share=1; fi
# Inputs of up to 64 KiB, and memory limits that a hostile file must not make the reader pass.
limits=(-max_len=65536 -timeout=10 -malloc_limit_mb=512 -rss_limit_mb=1024)
echo "== fuzz ${targets[*]} for ${share} seconds each (build-fuzz/)"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVEXLOR_FUZZ=ON -DVEXLOR_SANITIZE=ON "${launcher[@]}"
cmake --build build-fuzz -j "$(nproc)"

failed=()
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus-$target
    rm -rf "$corpus" && mkdir -p "$corpus"
    if [ -d fuzz/corpus/"$target" ]; then cp -r fuzz/corpus/"$target"/. "$corpus"/; fi
    # Seeds no longer than the inputs the kept corpus holds; the large samples lend their first
    # bytes.
    for seed in samples/*.opt samples/broken/*.opt; do
        head -c 4096 "$seed" > "$corpus/seed-$(basename "$seed")"
    done
    log=build-fuzz/$target.log
    TIMEFORMAT='%U %S'
    if { time build-fuzz/bin/"$target" "$corpus" -dict=fuzz/opt.dict "${limits[@]}" \
        -max_total_time="$share" -print_final_stats=1 \
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
    if $grow; then
        mkdir -p fuzz/corpus/"$target"
        before=$(find fuzz/corpus/"$target" -type f | wc -l)
        # Only inputs that reach new edges, as few as cover them: counting how often an edge
        # runs would keep hundreds more after a long run.
        build-fuzz/bin/"$target" -set_cover_merge=1 -use_counters=0 fuzz/corpus/"$target" \
            "$corpus" "${limits[@]}" 2> build-fuzz/"$target".merge.log
        echo "$target: kept corpus $before -> $(find fuzz/corpus/"$target" -type f | wc -l) inputs"
    fi
done
if ((${#failed[@]} > 0)); then
    echo "fuzzing found faults in: ${failed[*]}"
    exit 1
fi
echo "fuzzing: no findings"
