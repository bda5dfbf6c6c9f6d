#!/usr/bin/env bash
# The libFuzzer targets of tests/fuzz, built with clang in build-fuzz.
#
#   tools/scripts/fuzz.sh check [SECONDS] [TARGET...]
#       each target for SECONDS (default 60) from its seed corpus; new inputs
#       go to a scratch folder. Prints executions and crashes per target and
#       fails when any target crashed. CI runs this.
#   tools/scripts/fuzz.sh campaign RUNS [TARGET...]
#       each target for RUNS executions (say 1000000), then the inputs that
#       add coverage are merged into tests/fuzz/corpus/TARGET (commit them).
#
# TARGET is a name such as compound (default: all of them). Targets run side
# by side, FUZZ_JOBS at a time (default: the number of cores). FUZZ_SECONDS,
# when set, also ends each campaign after that many seconds. Crashing inputs
# are kept in build-fuzz/artifacts/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/../.."

usage() {
    sed -n '2,15p' "$0" >&2
    exit 2
}

mode=${1:-}
[[ $mode == check || $mode == campaign ]] || usage
shift
if [[ $mode == check ]]; then
    limit=${1:-60}
    [[ $# -gt 0 ]] && shift
else
    [[ $# -gt 0 ]] || usage
    limit=$1
    shift
fi
[[ $limit =~ ^[0-9]+$ ]] || usage
all=(compound shader_file shader_compile hlsl_prepare demo_script font_text png_texture ogg_music command_line
     gltf_import gltf_export)
targets=("${@:-${all[@]}}")
jobs=${FUZZ_JOBS:-$(nproc)}

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENGINE_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build-fuzz --target fuzz_targets -j "$(nproc)"

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# A leak in one input is a finding like a crash.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}

# One target: fuzz, then (campaign) merge; its summary line goes to its log's last line.
run_target() {
    # Absolute paths: the targets work in a scratch directory of their own.
    local target=$1 binary=$PWD/build-fuzz/tests/fuzz/fuzz_$1 corpus=$PWD/tests/fuzz/corpus/$1
    local work=$PWD/build-fuzz/fuzz-work/$1 artifacts=$PWD/build-fuzz/artifacts/$1/
    rm -rf "$work" "$artifacts" && mkdir -p "$work/new" "$artifacts"
    local limit_option=-max_total_time=$limit
    [[ $mode == campaign ]] && limit_option="-runs=$limit -max_total_time=${FUZZ_SECONDS:-0}"
    local status=0
    # Messages of rejected inputs would flood the log: the target's own output is closed,
    # libFuzzer and the sanitizers still report.
    # shellcheck disable=SC2086
    "$binary" $limit_option -close_fd_mask=3 -print_final_stats=1 -timeout=30 -rss_limit_mb=2048 \
        -max_len=16384 -artifact_prefix="$artifacts" "$work/new" "$corpus" >"$work/log" 2>&1 || status=$?
    local runs seconds crashes
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
    seconds=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$work/log" | tail -1)
    # Crashes, sanitizer reports, leaks, timeouts and running out of memory each leave an input.
    crashes=$(find "$artifacts" -type f | wc -l)
    [[ $status -ne 0 && $crashes -eq 0 ]] && crashes="the run failed without an input,"
    if [[ $mode == campaign && $status -eq 0 ]]; then
        "$binary" -merge=1 -close_fd_mask=3 "$corpus" "$work/new" >"$work/merge.log" 2>&1 || status=$?
        echo "$target: merged $(sed -n 's/.*MERGE-OUTER: \([0-9]*\) new files.*/\1/p' "$work/merge.log") new inputs into $corpus" >>"$work/log"
    fi
    echo "$target: ${runs:-?} executions in ${seconds:-?} s, $crashes crashes" >>"$work/log"
    echo "$status" >"$work/status"
}

for target in "${targets[@]}"; do
    [[ -x build-fuzz/tests/fuzz/fuzz_$target ]] || { echo "no fuzz target $target" >&2; exit 2; }
done
for target in "${targets[@]}"; do
    while [[ $(jobs -rp | wc -l) -ge $jobs ]]; do wait -n || true; done
    run_target "$target" &
done
wait
failed=0
for target in "${targets[@]}"; do
    if [[ $(cat "build-fuzz/fuzz-work/$target/status") != 0 ]]; then
        failed=1
        echo "== $target failed; its log:" >&2
        grep -v '^#[0-9]' "build-fuzz/fuzz-work/$target/log" | tail -60 >&2
    fi
done
echo "fuzz $mode:"
for target in "${targets[@]}"; do grep -h "^$target: " "build-fuzz/fuzz-work/$target/log"; done
exit $failed
