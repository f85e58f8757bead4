#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent and non-interactive: packages already present are skipped.
set -euo pipefail

packages=(
    build-essential cmake make pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # whether a window manager runs on the X display (kiosk sessions have none)
    libxcb1-dev
    libsdl2-dev libsndfile1-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang-format
    xvfb xauth xdotool
    socat python3 iproute2
    dpkg-dev file desktop-file-utils
    # make asan and make fuzz: clang with its sanitizer and libFuzzer runtimes
    clang libclang-rt-14-dev
    # the process tests that run the program in French (a comma-decimal language),
    # and the C library's French messages (the system's reasons in French texts)
    locales libc-l10n
    # network DMX through OLA (olad is left stopped and disabled)
    libola-dev ola
    # OSC show control: liblo, and oscsend/oscdump for the tests and by hand
    liblo-dev liblo-tools
    # the web remote, and the browser its end-to-end test drives headless
    qt6-httpserver-dev qt6-websockets-dev chromium
    # two languages: lupdate/lrelease and their CMake package, and Qt's own French texts
    qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

# Debian's ola package enables olad at boot and, where services may start,
# starts it at once with its default configuration: every plugin on, listening
# on the network. orvane only talks to an olad the operator runs deliberately,
# so a freshly installed one is stopped again and left disabled.
olad_running() {
    pidof /usr/bin/olad >/dev/null 2>&1
}

quiet_olad() {
    local started=no
    if olad_running; then
        started=yes
        $SUDO systemctl stop olad >/dev/null 2>&1 || $SUDO service olad stop >/dev/null 2>&1 ||
            $SUDO /etc/init.d/olad stop >/dev/null 2>&1 || true
        # Only this install can have started it: the package was not there before.
        if olad_running; then
            $SUDO kill $(pidof /usr/bin/olad) >/dev/null 2>&1 || true
            sleep 2
        fi
    fi
    $SUDO systemctl disable olad >/dev/null 2>&1 || true
    $SUDO update-rc.d olad disable >/dev/null 2>&1 || true
    local enable="sudo systemctl enable --now olad (without systemd: sudo update-rc.d olad enable && sudo service olad start)"
    if olad_running; then
        echo "install-deps: olad, started by the ola package, could not be stopped: stop it with sudo service olad stop" >&2
    elif [ "$started" = yes ]; then
        echo "install-deps: the ola package started olad; it is stopped and disabled again (to run it: $enable)"
    else
        echo "install-deps: olad is installed but not running and disabled at boot (to run it: $enable)"
    fi
}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
    if [[ " ${missing[*]} " == *" ola "* ]]; then
        quiet_olad
    fi
fi

# French writes "2,5": tests run the program in it to check that show files keep
# "2.5", and that its texts and the system's reasons come in French.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    echo "install-deps: generating the fr_FR.UTF-8 locale"
    $SUDO localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 ||
        echo "install-deps: fr_FR.UTF-8 could not be generated; its test will be skipped"
fi
