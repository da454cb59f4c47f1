#!/usr/bin/env bash
# Checks what KPD installs and packages, from a configured and built build folder:
#   1. `cmake --install` into a temporary root: the programs, libsenslink with its soname, version and
#      development link, its header and pkg-config file (a small C program is built with pkg-config and run
#      against the installed library), the icon, the desktop entry and the data-file types (validated with
#      desktop-file-validate and update-mime-database where installed), the manual and the manual pages,
#      and the installed KPD connected to the installed kpd-sim keeps its settings in the per-user folder,
#      not next to the program;
#   2. `cpack -G DEB` in the build folder: the packages kpd, kpd-sim, libsenslink1 and libsenslink-dev
#      with their debug-symbols packages, their fields and dependencies, which package holds which file,
#      stripped binaries whose debug symbols are in the -dbgsym packages, Debian's copyright and changelog
#      files, and lintian (where installed: any error fails the check, warnings are listed);
#   3. the packages installed together into a temporary root (dpkg --root, else dpkg -x) and the same
#      layout checks, with the library in the multiarch folder and no run path.
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
multiarch=$(gcc -print-multiarch 2>/dev/null || true) # e.g. x86_64-linux-gnu
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
  for f in bin/KPD bin/kpdctl bin/kpd-sim; do
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
  check_file "$base/share/doc/kpd/manual.md"
  for f in KPD kpdctl kpd-sim; do
    check_file "$base/share/man/man1/$f.1.gz"
    if [ -f "$base/share/man/man1/$f.1.gz" ]; then
      if [ "$(zcat "$base/share/man/man1/$f.1.gz" | awk '/^\.TH/ {print $2, $3; exit}' | tr -d '\\"')" = "${f^^} 1" ]; then
        ok "man page $f(1)"
      else
        fail "man page $f.1.gz is not a section 1 page of $f"
      fi
    fi
  done

  # The library: real file, soname link, development link, soname in the file.
  local real libdir
  real=$(find "$base/lib" -name "libsenslink.so.$version*" -type f 2>/dev/null | head -n1)
  if [ -z "$real" ]; then
    fail "libsenslink.so.$version (the versioned library)"
    return
  fi
  libdir=$(dirname "$real")
  ok "${real#$work/}"
  # Debian's multiarch folder; programs find the library there without a run path under /usr, and
  # through $ORIGIN elsewhere.
  if [ -n "$multiarch" ]; then
    [ "$libdir" = "$base/lib/$multiarch" ] && ok "library in lib/$multiarch" || fail "library not in lib/$multiarch"
  fi
  local p rp
  for p in "$base/bin/KPD" "$base/bin/kpdctl" "$real"; do
    rp=$(objdump -p "$p" 2>/dev/null | awk '/RUNPATH|RPATH/ {print $2}')
    if [ "$prefix" = /usr ] || [ "$p" = "$real" ]; then
      [ -z "$rp" ] && ok "no run path in ${p##*/}" || fail "run path $rp in ${p#$work/}"
    else
      [ "$rp" = "\$ORIGIN/../${libdir#$base/}" ] && ok "run path of ${p##*/}: $rp" ||
        fail "run path of ${p#$work/} ($rp)"
    fi
  done
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
# The packages and what each must hold (paths in the package; the library by pattern).
declare -A holds=(
  [kpd]="./usr/bin/KPD ./usr/bin/kpdctl ./usr/share/applications/kpd.desktop ./usr/share/mime/packages/kpd.xml
         ./usr/share/icons/hicolor/256x256/apps/kpd.png ./usr/share/doc/kpd/README.md ./usr/share/doc/kpd/manual.md
         ./usr/share/man/man1/KPD.1.gz ./usr/share/man/man1/kpdctl.1.gz"
  [kpd-sim]="./usr/bin/kpd-sim ./usr/share/man/man1/kpd-sim.1.gz"
  [libsenslink1]="./usr/lib/$multiarch/libsenslink.so.$version ./usr/lib/$multiarch/libsenslink.so.${version%%.*}"
  [libsenslink-dev]="./usr/include/senslink.h ./usr/lib/$multiarch/libsenslink.so ./usr/lib/$multiarch/pkgconfig/senslink.pc"
)
debs=()
for pkg in kpd kpd-sim libsenslink1 libsenslink-dev; do
  deb=$(find "$work/cpack" -maxdepth 1 -name "${pkg}_*.deb" | head -n1)
  if [ -z "$deb" ]; then
    fail "no ${pkg}_*.deb"
    continue
  fi
  debs+=("$deb")
  echo "== package $pkg: $(basename "$deb") =="
  dpkg-deb -f "$deb" Package Version Architecture Depends Recommends | sed 's/^/    /'
  [ "$(dpkg-deb -f "$deb" Package)" = "$pkg" ] && ok "Package: $pkg" || fail "Package field of $pkg"
  pversion=$(dpkg-deb -f "$deb" Version)
  [[ "$pversion" == "$version"-* ]] && ok "Version: $pversion" || fail "Version field of $pkg ($pversion)"
  maintainer=$(dpkg-deb -f "$deb" Maintainer)
  [[ "$maintainer" != *@localhost* ]] && ok "Maintainer: $maintainer" || fail "Maintainer of $pkg ($maintainer)"
  dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files-$pkg.txt"
  for f in ${holds[$pkg]} "./usr/share/doc/$pkg/copyright" "./usr/share/doc/$pkg/changelog.Debian.gz"; do
    grep -qx -- "$f" "$work/files-$pkg.txt" && ok "$f" || fail "$f in $pkg"
  done
  # Nothing of another package's list.
  for other in "${!holds[@]}"; do
    [ "$other" = "$pkg" ] && continue
    for f in ${holds[$other]}; do
      grep -qx -- "$f" "$work/files-$pkg.txt" && fail "$f (of $other) in $pkg"
    done
  done
  mkdir -p "$work/deb-$pkg" && dpkg-deb -x "$deb" "$work/deb-$pkg"
  # The changelog is gzip -9n (no name, no time stamp) and names this version first.
  cl="$work/deb-$pkg/usr/share/doc/$pkg/changelog.Debian.gz"
  if [ -f "$cl" ]; then
    [ "$(od -An -tx1 -j4 -N4 "$cl" | tr -d ' ')" = 00000000 ] && ok "changelog without a time stamp" ||
      fail "changelog.Debian.gz of $pkg has a time stamp (gzip -9n)"
    zcat "$cl" | head -n1 | grep -qF "($pversion)" && ok "changelog names $pversion" || fail "changelog of $pkg"
  fi
  # Binaries are stripped, and a debug-symbols package holds the symbols of each (by build id).
  while IFS= read -r elf; do
    if file -b "$elf" | grep -q 'not stripped'; then fail "${elf#$work/deb-$pkg} not stripped"; continue; fi
    id=$(readelf -n "$elf" | awk '/Build ID/ {print $3}')
    ddeb=$(find "$work/cpack" -maxdepth 1 -name "${pkg}-dbgsym_*.ddeb" | head -n1)
    [ -n "$ddeb" ] && dpkg-deb -c "$ddeb" >"$work/ddeb-files.txt"
    if [ -n "$ddeb" ] && grep -q "usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug$" "$work/ddeb-files.txt"; then
      ok "${elf#$work/deb-$pkg} stripped, symbols in $(basename "$ddeb")"
    else
      fail "no debug symbols of ${elf#$work/deb-$pkg} (build id $id) in ${pkg}-dbgsym"
    fi
  done < <(find "$work/deb-$pkg" -type f \( -path '*/bin/*' -o -name '*.so.*' \))
done
if [ ${#debs[@]} -eq 4 ]; then
  depnames() { dpkg-deb -f "$1" Depends | tr ',' '\n' | awk '{print $1}'; }
  kpddeb=$(printf '%s\n' "${debs[@]}" | grep '/kpd_')
  for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo qt6-qpa-plugins libsenslink1; do
    depnames "$kpddeb" | grep -qxF "$p" && ok "kpd Depends $p" || fail "kpd Depends $p"
  done
  dpkg-deb -f "$kpddeb" Depends | grep -qF "libsenslink1 (= $(dpkg-deb -f "$kpddeb" Version))" &&
    ok "kpd needs this very libsenslink1" || fail "kpd Depends libsenslink1 (= its version)"
  simdeb=$(printf '%s\n' "${debs[@]}" | grep '/kpd-sim_')
  depnames "$simdeb" | grep -q 'qt6\|senslink' && fail "kpd-sim depends on Qt or libsenslink"
  devdeb=$(printf '%s\n' "${debs[@]}" | grep '/libsenslink-dev_')
  depnames "$devdeb" | grep -qxF libsenslink1 && ok "libsenslink-dev Depends libsenslink1" || fail "libsenslink-dev Depends"
  libdeb=$(printf '%s\n' "${debs[@]}" | grep '/libsenslink1_')
  dpkg-deb --ctrl-tarfile "$libdeb" | tar -x -C "$work" ./shlibs ./triggers 2>/dev/null
  grep -q "^libsenslink ${version%%.*} libsenslink1" "$work/shlibs" 2>/dev/null && ok "shlibs: $(cat "$work/shlibs")" ||
    fail "libsenslink1 has no shlibs entry"
  grep -qx 'activate-noawait ldconfig' "$work/triggers" 2>/dev/null && ok "ldconfig trigger" || fail "libsenslink1 ldconfig trigger"
  # The trigger does ldconfig's work: no maintainer script calls it.
  dpkg-deb --ctrl-tarfile "$libdeb" | tar -t >"$work/control-files.txt"
  grep -qE '^\./(postinst|postrm)$' "$work/control-files.txt" && fail "libsenslink1 has maintainer scripts" ||
    ok "libsenslink1 without maintainer scripts"

  if command -v lintian >/dev/null; then
    echo "== lintian =="
    root_flag=()
    [ "$(id -u)" -eq 0 ] && root_flag=(--allow-root)
    lintian "${root_flag[@]}" "${debs[@]}" "$work"/cpack/*.ddeb >"$work/lintian.txt" 2>&1
    sed 's/^/    /' "$work/lintian.txt"
    errors=$(grep -c '^E: ' "$work/lintian.txt")
    warnings=$(grep -c '^W: ' "$work/lintian.txt")
    [ "$errors" -eq 0 ] && ok "lintian: no error ($warnings warning(s))" || fail "lintian: $errors error(s)"
  else
    echo "  (lintian not installed: scripts/install-deps.sh installs it)"
  fi

  echo "== the packages installed into a temporary root =="
  root="$work/dpkg-root"
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  touch "$root/var/lib/dpkg/status"
  if dpkg --root="$root" --force-not-root --force-depends --force-script-chrootless --no-triggers \
       --log=/dev/null -i "${debs[@]}" >"$work/dpkg.log" 2>&1; then
    ok "dpkg --root -i"
    for pkg in kpd kpd-sim libsenslink1 libsenslink-dev; do
      dpkg --root="$root" -L "$pkg" >/dev/null 2>&1 && ok "dpkg knows package $pkg" || fail "dpkg -L $pkg"
    done
  else
    echo "  (dpkg --root failed, extracting instead: $(tail -n 3 "$work/dpkg.log"))"
    rm -rf "$root" && mkdir -p "$root"
    for deb in "${debs[@]}"; do dpkg -x "$deb" "$root" || fail "dpkg -x $deb"; done
  fi
  check_layout "$root" /usr
fi

echo "check-package: $failures problem(s)"
[ "$failures" -eq 0 ]
