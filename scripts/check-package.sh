#!/usr/bin/env bash
# Checks what KPD installs and packages, from a configured and built build folder:
#   1. `cmake --install` into a temporary root: the programs, libsenslink with its soname, version and
#      development link, its header and pkg-config file (a small C program is built with pkg-config and run
#      against the installed library), the icon, the desktop entry and the data-file types (validated with
#      desktop-file-validate and update-mime-database where installed), and the installed KPD connected to
#      the installed kpd-sim keeps its settings in the per-user folder, not next to the program;
#   2. `cpack -G DEB` in the build folder: the package's fields and dependencies, its file list;
#   3. the package installed into a temporary root (dpkg --root, else dpkg -x) and the same layout checks.
# Usage: scripts/check-package.sh BUILD_DIR [--install-only]   (--install-only: step 1 without the run of KPD)
# Exits non-zero when any piece is missing.
set -uo pipefail

if [ $# -lt 1 ] || [ ! -f "$1/CMakeCache.txt" ]; then
  echo "usage: $0 BUILD_DIR [--install-only]   (a configured and built build folder)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
mode=${2:-full}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
work=$(mktemp -d /tmp/kpd-package-check.XXXXXX)
simpid=""
cleanup() {
  if [ -n "$simpid" ]; then kill "$simpid" 2>/dev/null; wait "$simpid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "  MISSING/WRONG: $*"; failures=$((failures + 1)); }
ok() { echo "  ok: $*"; }
check_file() { if [ -f "$1" ]; then ok "${1#$work/}"; else fail "${1#$work/}"; fi; }

# The layout under ROOT with install prefix PREFIX (/usr/local, /usr).
check_layout() {
  local root=$1 prefix=$2 base="$1$2"
  echo "== layout of $prefix in ${root#$work/} =="
  local f
  for f in bin/KPD bin/kpd-sim; do
    if [ -x "$base/$f" ]; then ok "$f"; else fail "$f (executable)"; fi
  done
  check_file "$base/include/senslink.h"
  check_file "$base/share/applications/kpd.desktop"
  check_file "$base/share/mime/packages/kpd.xml"
  for f in 48x48 128x128 256x256; do
    check_file "$base/share/icons/hicolor/$f/apps/kpd.png"
    if [ -f "$base/share/icons/hicolor/$f/apps/kpd.png" ] &&
       ! file "$base/share/icons/hicolor/$f/apps/kpd.png" | grep -q "PNG image data, ${f/x/ x }"; then
      fail "icon $f is not a ${f} PNG"
    fi
  done
  check_file "$base/share/doc/kpd/README.md"

  # The library: real file, soname link, development link, soname in the file.
  local real libdir
  real=$(find "$base/lib" -name "libsenslink.so.$version*" -type f 2>/dev/null | head -n1)
  if [ -z "$real" ]; then
    fail "libsenslink.so.$version (the versioned library)"
    return
  fi
  libdir=$(dirname "$real")
  ok "${real#$work/}"
  local soname
  soname=$(objdump -p "$real" | awk '/SONAME/ {print $2}')
  if [ "$soname" = "libsenslink.so.${version%%.*}" ]; then ok "soname $soname"; else fail "soname ($soname)"; fi
  if [ -L "$libdir/$soname" ]; then ok "link $soname"; else fail "link $soname"; fi
  if [ -L "$libdir/libsenslink.so" ]; then ok "link libsenslink.so"; else fail "link libsenslink.so"; fi
  check_file "$libdir/pkgconfig/senslink.pc"

  # pkg-config gives what a program needs: a client built and run against the installed library.
  local pcv
  pcv=$(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --modversion senslink 2>&1)
  if [ "$pcv" = "$version" ]; then ok "pkg-config senslink $pcv"; else fail "pkg-config --modversion ($pcv)"; fi
  cat >"$work/client.c" <<'CLIENT'
#include <senslink.h>
#include <stdio.h>
int main(void) {
    char device[256], group[64];
    int reason = OpenPort(256) == -1 ? GetOpenFailure(256, device, sizeof device, group, sizeof group) : -9;
    printf("%d %d\n", DLLVersion(), reason);
    return 0;
}
CLIENT
  local flags out
  flags=$(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs senslink)
  # shellcheck disable=SC2086
  if cc "$work/client.c" -o "$work/client" $flags 2>"$work/cc.log"; then
    out=$(env -u SENSLINK_PORT_DIR LD_LIBRARY_PATH="$libdir" "$work/client" 2>&1)
    if [ "$out" = "16 1" ]; then ok "client built with pkg-config runs: $out"; else fail "client output ($out)"; fi
  else
    fail "client does not build with pkg-config: $(cat "$work/cc.log")"
  fi

  # The programs start from where they were installed.
  out=$(LD_LIBRARY_PATH="$libdir" "$base/bin/KPD" --version 2>&1 | head -n1)
  if [ "$out" = "KPD $version.0.0" ]; then ok "KPD --version: $out"; else fail "KPD --version ($out)"; fi
  if LD_LIBRARY_PATH="$libdir" "$base/bin/kpd-sim" --help >/dev/null 2>&1; then ok "kpd-sim --help"; else fail "kpd-sim --help"; fi

  # The desktop entry opens the data files and names the icon; every type it names is declared.
  local desktop="$base/share/applications/kpd.desktop" mimexml="$base/share/mime/packages/kpd.xml"
  if [ -f "$desktop" ]; then
    grep -q '^Exec=KPD %f$' "$desktop" && ok "desktop Exec" || fail "desktop Exec=KPD %f"
    grep -q '^Icon=kpd$' "$desktop" && ok "desktop Icon" || fail "desktop Icon=kpd"
    if command -v desktop-file-validate >/dev/null; then
      if desktop-file-validate "$desktop" >"$work/dfv.log" 2>&1; then ok "desktop-file-validate"; else fail "desktop-file-validate: $(cat "$work/dfv.log")"; fi
    fi
    local types t
    types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' ')
    [ "$(echo $types | wc -w)" -eq 4 ] && ok "desktop names 4 data-file types" || fail "desktop MimeType ($types)"
    for t in $types; do
      grep -q "type=\"$t\"" "$mimexml" && ok "type $t declared" || fail "type $t not declared in kpd.xml"
    done
  fi
  if [ -f "$mimexml" ] && command -v update-mime-database >/dev/null; then
    rm -rf "$work/mime" && mkdir -p "$work/mime/packages" && cp "$mimexml" "$work/mime/packages/"
    # (XDG_DATA_HOME names the folder, so the tool has nothing to remark about the search path.)
    if XDG_DATA_HOME="$work" update-mime-database "$work/mime" >"$work/umd.log" 2>&1 && [ ! -s "$work/umd.log" ]; then
      local g
      for g in man lis str pos; do
        grep -q "application/x-kpd-.*:\*\.$g\$" "$work/mime/globs2" && ok "glob *.$g" || fail "glob *.$g"
      done
      grep -q "vk2401.1encodersignal" "$work/mime/magic" && ok "magic of the first lines" || fail "magic"
    else
      fail "update-mime-database: $(cat "$work/umd.log")"
    fi
  fi
}

# An installed KPD connected to the installed simulator keeps its settings in the per-user folder.
check_installed_run() {
  local root=$1 prefix=$2 base="$1$2" libdir
  libdir=$(dirname "$(find "$base/lib" -name 'libsenslink.so.*' -type f | head -n1)")
  echo "== installed KPD and kpd-sim (${root#$work/}$prefix) =="
  mkdir -p "$work/run/ports" "$work/run/home" "$work/run/config" "$work/run/cwd"
  LD_LIBRARY_PATH="$libdir" "$base/bin/kpd-sim" --port-dir "$work/run/ports" --com 3 </dev/null >"$work/run/sim.log" 2>&1 &
  simpid=$!
  local i
  for i in $(seq 50); do [ -e "$work/run/ports/COM3" ] && break; sleep 0.1; done
  ( cd "$work/run/cwd" && env -u KPD_INSTALL_DIR -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/run/home" \
      XDG_CONFIG_HOME="$work/run/config" KPD_REGISTRY_FILE=/nonexistent/registry.conf \
      SENSLINK_PORT_DIR="$work/run/ports" LD_LIBRARY_PATH="$libdir" \
      "$base/bin/KPD" -platform offscreen --quit-after 5000 >"$work/run/kpd.log" 2>&1 )
  local rc=$?
  kill "$simpid" 2>/dev/null; wait "$simpid" 2>/dev/null; simpid=""
  [ $rc -eq 0 ] && ok "KPD ran and ended (code 0)" || fail "KPD ended with $rc: $(cat "$work/run/kpd.log")"
  grep -q "Cannot Detect Electronics" "$work/run/kpd.log" && fail "KPD did not find the simulator: $(cat "$work/run/kpd.log")"
  check_file "$work/run/config/KPD/KPD.ini"
  if ls "$base/bin" | grep -qi '\.ini$' || [ -e "$work/run/cwd/KPD.ini" ]; then
    fail "settings written next to the program or into the working folder"
  else
    ok "nothing written next to the program or into the working folder"
  fi
}

echo "== cmake --install into a temporary root =="
if cmake --install "$build" --prefix "$work/install/usr/local" >"$work/install.log" 2>&1; then
  ok "cmake --install"
else
  fail "cmake --install: $(tail -n 20 "$work/install.log")"
fi
check_layout "$work/install" /usr/local
if [ "$mode" = "--install-only" ]; then
  echo "check-package: $failures problem(s)"
  [ "$failures" -eq 0 ]
  exit
fi
check_installed_run "$work/install" /usr/local

echo "== cpack -G DEB =="
if (cd "$build" && cpack -G DEB -B "$work/cpack") >"$work/cpack.log" 2>&1; then ok "cpack"; else fail "cpack: $(tail -n 20 "$work/cpack.log")"; fi
deb=$(find "$work/cpack" -maxdepth 1 -name 'kpd_*.deb' | head -n1)
if [ -z "$deb" ]; then
  fail "no kpd_*.deb"
else
  ok "$(basename "$deb")"
  dpkg-deb -f "$deb" Package Version Architecture Depends Recommends | sed 's/^/    /'
  [ "$(dpkg-deb -f "$deb" Package)" = "kpd" ] && ok "Package: kpd" || fail "Package field"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] && ok "Version: $version" || fail "Version field"
  depends=$(dpkg-deb -f "$deb" Depends)
  depnames=$(echo "$depends" | tr ',' '\n' | awk '{print $1}')
  for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo qt6-qpa-plugins; do
    echo "$depnames" | grep -qxF "$p" && ok "Depends $p" || fail "Depends $p"
  done
  echo "$depends" | grep -q senslink && fail "Depends names libsenslink (it is in the package)"
  echo "== the package's files =="
  dpkg-deb -c "$deb" | awk '{print $6 ($7 ? " " $7 " " $8 : "")}' >"$work/files.txt"
  sed 's/^/    /' "$work/files.txt"
  for f in ./usr/bin/KPD ./usr/bin/kpd-sim ./usr/include/senslink.h ./usr/share/applications/kpd.desktop \
           ./usr/share/mime/packages/kpd.xml ./usr/share/icons/hicolor/256x256/apps/kpd.png \
           ./usr/share/doc/kpd/README.md; do
    grep -qx -- "$f" "$work/files.txt" && ok "$f" || fail "$f in the package"
  done
  grep -qE '^\./usr/lib/(.*/)?libsenslink\.so\.[0-9.]+$' "$work/files.txt" && ok "libsenslink in the package" ||
    fail "libsenslink.so.* in the package"
  grep -qE '^\./usr/lib/(.*/)?pkgconfig/senslink\.pc$' "$work/files.txt" && ok "senslink.pc in the package" ||
    fail "senslink.pc in the package"

  echo "== the package installed into a temporary root =="
  root="$work/dpkg-root"
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  touch "$root/var/lib/dpkg/status"
  if dpkg --root="$root" --force-not-root --force-depends --force-script-chrootless --no-triggers \
       --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1; then
    ok "dpkg --root -i"
    dpkg --root="$root" -L kpd >/dev/null 2>&1 && ok "dpkg knows package kpd" || fail "dpkg -L kpd"
  else
    echo "  (dpkg --root failed, extracting instead: $(tail -n 3 "$work/dpkg.log"))"
    rm -rf "$root" && mkdir -p "$root"
    dpkg -x "$deb" "$root" && ok "dpkg -x" || fail "dpkg -x"
  fi
  check_layout "$root" /usr
fi

echo "check-package: $failures problem(s)"
[ "$failures" -eq 0 ]
