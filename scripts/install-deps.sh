#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent and non-interactive: packages already present are skipped.
set -euo pipefail

packages=(
    build-essential cmake make pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsdl2-dev libsndfile1-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang-format
    xvfb xauth xdotool
    socat python3
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
