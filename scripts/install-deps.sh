#!/usr/bin/env bash
# Installs the Debian packages KPD needs to build, run and test. Does nothing slow when all are present.
set -euo pipefail
# clang and libclang-rt-14-dev (libFuzzer's runtime) build the fuzz harnesses (scripts/fuzz.sh).
# help2man makes the manual pages from the programs' --help; dpkg-dev, file, shared-mime-info,
# desktop-file-utils and lintian build and check the Debian packages (scripts/check-package.sh). ccache
# keeps compiled objects between test runs (scripts/test.sh); python3-serial runs the scripted client of
# the status-rate benchmark.
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libjpeg-dev libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth x11-apps imagemagick fonts-liberation
          dpkg-dev file shared-mime-info desktop-file-utils lintian help2man clang libclang-rt-14-dev
          ccache python3-serial)
missing=()
# A locale with a decimal comma, so the tests can prove that numbers never follow the user's locale.
comma_locale_missing() { ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; }
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -eq 0 ]; then
  comma_locale_missing || exit 0
fi
echo "Installing: ${missing[*]:-} (and a de_DE.UTF-8 locale where missing)"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if comma_locale_missing; then
  dpkg-query -W -f='${Status}' locales 2>/dev/null | grep -q 'install ok installed' ||
    $sudo apt-get install -y -qq --no-install-recommends locales >/dev/null
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
