#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on
# a copy of its seed corpus. FUZZ_SECONDS sets the time per target (60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
out=build-fuzz
mkdir -p "$out"
CXX="${FUZZ_CXX:-clang++}"
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)

run() { # name corpus-folder binary
    local name=$1 seeds=$2 binary=$3 work
    work=$(mktemp -d)
    cp "$seeds"/* "$work"/
    echo "fuzzing $name for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=1 "$binary" -max_total_time="$seconds" -max_len=16384 \
        -rss_limit_mb=1024 -timeout=10 -print_final_stats=1 -artifact_prefix="$out/" "$work" >"$out/$name.log" 2>&1 || {
        tail -n 60 "$out/$name.log"
        rm -rf "$work"
        return 1
    }
    tail -n 12 "$out/$name.log"
    rm -rf "$work"
}

sdk=components/smetersdk
"$CXX" "${flags[@]}" -Icomponents/include -I"$sdk" \
    "$sdk"/calformat.cpp "$sdk"/calset.cpp "$sdk"/fuzz/fuzz_loader.cpp -lz -o "$out/fuzz_smetersdk_loader"
run smetersdk_loader "$sdk/fuzz/corpus" "$out/fuzz_smetersdk_loader"
