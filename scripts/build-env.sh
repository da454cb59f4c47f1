# Sourced by the scripts that build (run.sh, test.sh, bench.sh) from the top of the clone: the compiler
# cache outside the clone and the normal build, so that whichever runs first leaves objects and a build
# folder the others reuse as they are.
#
# Compiled objects are kept in $KPD_CCACHE_DIR (default ~/.cache/kpd-ccache), keyed on paths relative to
# the clone, so a fresh clone of the same sources in another folder reuses them.
cache_flags=()
if command -v ccache >/dev/null; then
  export CCACHE_DIR=${KPD_CCACHE_DIR:-$HOME/.cache/kpd-ccache}
  export CCACHE_BASEDIR=$PWD
  export CCACHE_NOHASHDIR=1
  export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-10G}
  cache_flags=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export KPD_COMPILER_LAUNCHER=ccache
fi

# The normal build in build/: release with debug information, warnings as errors, the benchmarks.
normal_build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKPD_WERROR=ON "${cache_flags[@]}" >/dev/null
  cmake --build build -j"$(nproc)"
}
