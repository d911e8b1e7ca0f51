#!/usr/bin/env bash
# run_fuzzer.sh FUZZER CORPUS SEEDS RUNS [libFuzzer options...]
#
# Runs a libFuzzer executable the way the fuzz tests do.
#
# By default, a fixed and repeatable budget: the inputs in SEEDS, then RUNS
# inputs mutated from them with a fixed random seed, collected in the folder
# CORPUS-fixed, emptied first: a few seconds, about the same every time.
# The inputs tried repeat from run to run as far as the reader's coverage
# depends on its input alone (temporary file names, for one, make the
# dictionary reader's runs stray a little).
#
# With KIO_FUZZ_SECONDS set (e.g. KIO_FUZZ_SECONDS=300 ctest -L fuzz), a
# longer search instead: that many seconds, a random seed, and CORPUS kept
# between runs, so that each run starts from what the earlier ones found.
set -euo pipefail
fuzzer=$1 corpus=$2 seeds=$3 runs=$4
shift 4
if [ -n "${KIO_FUZZ_SECONDS:-}" ]; then
  mkdir -p "$corpus"
  exec "$fuzzer" -max_total_time="$KIO_FUZZ_SECONDS" "$@" "$corpus" "$seeds"
fi
corpus=$corpus-fixed
rm -rf "$corpus"
mkdir -p "$corpus"
# The budget is the number of runs; the time limit only bounds a machine
# far slower than expected.
exec "$fuzzer" -seed=1 -runs="$runs" -max_total_time=120 "$@" "$corpus" "$seeds"
