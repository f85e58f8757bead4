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
    dpkg-dev file desktop-file-utils
    # make asan and make fuzz: clang with its sanitizer and libFuzzer runtimes
    clang libclang-rt-14-dev
    # the process test that runs the program in a comma-decimal language
    locales
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# French, the language of the program's own texts, writes "2,5": a test runs
# the program in it to check that show files keep "2.5".
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    echo "install-deps: generating the fr_FR.UTF-8 locale"
    $SUDO localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 ||
        echo "install-deps: fr_FR.UTF-8 could not be generated; its test will be skipped"
fi
