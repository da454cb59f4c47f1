#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: a normal build with warnings as errors (with the
# benchmarks, which must keep building) and a check of its install layout and Debian package, an
# AddressSanitizer + UndefinedBehaviorSanitizer build of the tests (with a minute of the fault soak), a
# ThreadSanitizer build of the thread tests, and a few seconds of each fuzzer. Prints the time of each pass
# at the end.
#
# Compiled objects are kept in a compiler cache outside the clone (scripts/build-env.sh); scripts/run.sh
# makes the same normal build, so after it the normal build here has nothing to compile.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
# The tests spend most of their time waiting on the paced simulator, the serial time-outs and the event
# loop (about a tenth of a core each on average), so they run four to a core.
test_jobs=$((4 * jobs))
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp

source scripts/build-env.sh
if command -v ccache >/dev/null; then ccache --zero-stats >/dev/null; fi

times=()
pass_start=0
begin() { echo "== $1 =="; pass_name=$1; pass_start=$(date +%s); }
end() {
  local t=$(( $(date +%s) - pass_start ))
  times+=("$(printf '%-58s %4d:%02d' "$pass_name" $((t / 60)) $((t % 60)))")
  echo "== $pass_name: $((t / 60)) min $((t % 60)) s =="
}
summary() {
  echo "== pass times =="
  printf '%s\n' "${times[@]}"
  if command -v ccache >/dev/null; then ccache --show-stats | grep -Ei 'hits|misses|cache size' || true; fi
}
trap summary EXIT

begin "normal build"
normal_build
end
begin "normal tests"
ctest --test-dir build --output-on-failure -j"$test_jobs"
end
begin "install layout and Debian package"
bash scripts/check-package.sh build
end

begin "AddressSanitizer + UndefinedBehaviorSanitizer build (tests only)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKPD_SANITIZE=ON -DKPD_BUILD_BENCH=OFF \
  "${cache_flags[@]}" >/dev/null
cmake --build build-asan -j"$jobs"
end
begin "AddressSanitizer + UndefinedBehaviorSanitizer tests (with one minute of the fault soak)"
ctest --test-dir build-asan --output-on-failure -j"$test_jobs"
end

begin "ThreadSanitizer build (thread tests only)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKPD_TSAN=ON -DKPD_BUILD_BENCH=OFF \
  "${cache_flags[@]}" >/dev/null
cmake --build build-tsan -j"$jobs" --target thread_tests
end
begin "ThreadSanitizer tests"
ctest --test-dir build-tsan --output-on-failure -j"$test_jobs" -L thread
end

begin "fuzzers (clang, libFuzzer: 5 s per harness)"
bash scripts/fuzz.sh 5
end
