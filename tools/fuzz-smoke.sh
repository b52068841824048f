#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few thousand inputs from its
# seed corpus: the targets keep building, and a fault found before is found again at once.
# Long runs are made by hand (README, "Fuzzing").
set -euo pipefail
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVEXO_FUZZ=ON -DBUILD_TESTING=OFF -DVEXO_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_packet_reader fuzz_rtf_reader fuzz_journal_reader fuzz_class_list
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/packet" "$work/rtf" "$work/journal" "$work/class_list"
cp tests/data/golden/*.xml tests/data/fuzz_regressions/* "$work/packet/"
cp tests/ui/rtf/fixtures/*.rtf assets/*.rtf "$work/rtf/"
cp fuzz/corpus/journal/* "$work/journal/"
cp fuzz/corpus/class_list/* "$work/class_list/"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
for target in packet:fuzz_packet_reader:4096 rtf:fuzz_rtf_reader:8192 journal:fuzz_journal_reader:4096 \
              class_list:fuzz_class_list:8192; do
    IFS=: read -r corpus binary maxlen <<<"$target"
    echo "fuzz smoke: $binary"
    QT_QPA_PLATFORM=offscreen build-fuzz/fuzz/"$binary" -runs=3000 -max_len="$maxlen" -seed=1 \
        "$work/$corpus" >"$work/$binary.log" 2>&1 || { tail -40 "$work/$binary.log"; exit 1; }
done
