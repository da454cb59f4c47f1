#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang (build-fuzz, target "fuzzers") and runs each for
# SECONDS seconds on a copy of its seed corpus in a temporary directory (nothing is written into tests/).
# Prints per harness the executions, exec/s, the final coverage (cov, ft) and corpus size, and any finding;
# exits non-zero when a harness crashes, leaks, times out or a sanitizer reports. Installs nothing.
#
#   scripts/fuzz.sh SECONDS [HARNESS...]     e.g. scripts/fuzz.sh 5, scripts/fuzz.sh 60 FuzzSimRequests
#   KPD_FUZZ_FLAGS="-runs=1000000" scripts/fuzz.sh 600    extra libFuzzer flags for every run
#   KPD_COMPILER_LAUNCHER=ccache scripts/fuzz.sh 5         compile through a compiler cache
#
# A finding's input is kept in build-fuzz/findings/<harness>/ (reproduce: build-fuzz/fuzz/<harness> FILE).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ]; then
  echo "usage: scripts/fuzz.sh SECONDS [HARNESS...]" >&2
  exit 2
fi
seconds=$1
shift

# The compiler and libFuzzer's runtime (Debian: clang, libclang-rt-14-dev).
if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
  echo "fuzz: clang++ is missing; install the Debian packages clang and libclang-rt-14-dev" >&2
  echo "      (scripts/install-deps.sh installs them)" >&2
  exit 2
fi
runtime=$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null || true)
if [ ! -f "$runtime" ]; then
  runtime=$(find "$(clang++ -print-resource-dir 2>/dev/null || echo /nonexistent)" -name 'libclang_rt.fuzzer*.a' \
            -print -quit 2>/dev/null || true)
fi
if [ -z "$runtime" ] || [ ! -f "$runtime" ]; then
  version=$(clang++ -dumpversion 2>/dev/null | cut -d. -f1)
  echo "fuzz: clang's libFuzzer runtime (libclang_rt.fuzzer) is missing; install the Debian package" \
       "libclang-rt-${version:-14}-dev" >&2
  exit 2
fi

build=$repo/build-fuzz
harnesses=(FuzzLinkReplies FuzzSettingsLoader FuzzDataFileLoader FuzzSimRequests FuzzSimControl)
[ $# -gt 0 ] && harnesses=("$@")

echo "== configuring $build (clang, KPD_FUZZ=ON) =="
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ -DKPD_FUZZ=ON -DKPD_BUILD_APP=OFF -DKPD_BUILD_BENCH=OFF \
      ${KPD_COMPILER_LAUNCHER:+-DCMAKE_C_COMPILER_LAUNCHER=$KPD_COMPILER_LAUNCHER} \
      ${KPD_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$KPD_COMPILER_LAUNCHER} >/dev/null
echo "== building the harnesses =="
cmake --build "$build" --target fuzzers -j"$(nproc)"

# A small quarantine and short allocation stacks keep the file-loading harnesses fast and their memory low;
# the price is that a use of memory freed long before may go unseen.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:quarantine_size_mb=16:malloc_context_size=8
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
unset LSAN_OPTIONS TSAN_OPTIONS

work=$(mktemp -d "${TMPDIR:-/tmp}/kpd-fuzz-XXXXXX")
# The file-loading harnesses write their files here: in memory where the machine has /dev/shm.
scratch=$(mktemp -d /dev/shm/kpd-fuzz-XXXXXX 2>/dev/null || mktemp -d "$work/scratch-XXXXXX")
export KPD_FUZZ_SCRATCH=$scratch
trap 'rm -rf "$work" "$scratch"' EXIT
failed=()
printf '\n%-20s %12s %9s %7s %7s %14s  %s\n' harness executions exec/s cov ft corpus finding
for h in "${harnesses[@]}"; do
  exe=$build/fuzz/$h
  seeds=$repo/tests/fuzz/corpus/$h
  if [ ! -x "$exe" ] || [ ! -d "$seeds" ]; then
    echo "fuzz: no harness or seed corpus named $h" >&2
    failed+=("$h")
    continue
  fi
  corpus=$work/$h/corpus
  artifacts=$work/$h/artifacts
  mkdir -p "$corpus" "$artifacts"
  cp -R "$seeds"/. "$corpus"/
  # Inputs of earlier findings run first, among the seeds.
  [ -d "$repo/tests/fuzz/regressions/$h" ] && cp -R "$repo/tests/fuzz/regressions/$h"/. "$corpus"/
  log=$work/$h/log
  dict=()
  [ -f "$repo/tests/fuzz/dict/$h.dict" ] && dict=(-dict="$repo/tests/fuzz/dict/$h.dict")
  rc=0
  # The loaders report unusable files on standard error: -close_fd_mask=2 silences the code under test
  # while libFuzzer and the sanitizers still report.
  # shellcheck disable=SC2086
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -close_fd_mask=2 \
         -artifact_prefix="$artifacts/" "${dict[@]}" ${KPD_FUZZ_FLAGS:-} "$corpus" >"$log" 2>&1 || rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[bKM]*b*\).*/\1/p' <<<"$last")
  finding=none
  if [ "$rc" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|SUMMARY: ' "$log" ||
     [ -n "$(ls -A "$artifacts")" ]; then
    finding=$(grep -m1 -oE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer): [^ ]*( [^ ]*)?|runtime error: .*' "$log" ||
              echo "exit status $rc")
    failed+=("$h")
  fi
  printf '%-20s %12s %9s %7s %7s %14s  %s\n' "$h" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}" \
         "$finding"
  if [ "$finding" != none ]; then
    keep=$build/findings/$h
    mkdir -p "$keep"
    cp -R "$artifacts"/. "$keep"/ 2>/dev/null || true
    cp "$log" "$keep/log"
    echo "---- $h: the end of its log (the whole log and the input are in $keep) ----"
    tail -40 "$log"
    echo "----"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: no findings"
