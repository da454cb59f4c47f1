#!/usr/bin/env bash
# Installs the Debian packages KPD needs to build, run and test. Does nothing slow when all are present.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libjpeg-dev libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth x11-apps imagemagick fonts-liberation)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
