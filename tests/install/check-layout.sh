#!/usr/bin/env bash
# Checks an installed orvane under PREFIX (a staged /usr or the contents of the
# Debian package): every installed file is there and well formed, and the
# installed program runs without a display and starts on its demo show.
# With the build folder BUILD, a build that made the OLA module must have
# installed it where the installed program finds it.
#   check-layout.sh PREFIX [BUILD]
set -uo pipefail
prefix=$1
build=${2:-}
failures=0
fail() {
    echo "check-layout: $*" >&2
    failures=$((failures + 1))
}

# Every file the installation promises.
for f in bin/orvane \
    share/applications/orvane.desktop \
    share/icons/hicolor/scalable/apps/orvane.svg \
    share/orvane/demo/dmx.ini \
    share/man/man1/orvane.1.gz \
    lib/udev/rules.d/70-orvane-dmx.rules; do
    [ -f "$prefix/$f" ] || fail "missing $prefix/$f"
done
[ -x "$prefix/bin/orvane" ] || fail "$prefix/bin/orvane is not executable"
[ -d "$prefix/share/orvane/demo/step0" ] || fail "the demo show has no step0 folder"

desktop=$prefix/share/applications/orvane.desktop
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
    grep -qx 'Exec=orvane' "$desktop" || fail "$desktop does not start orvane"
    grep -qx 'Icon=orvane' "$desktop" || fail "$desktop does not name the icon"
fi
icon=$prefix/share/icons/hicolor/scalable/apps/orvane.svg
[ -f "$icon" ] && ! grep -q '<svg' "$icon" && fail "$icon is no SVG picture"
man=$prefix/share/man/man1/orvane.1.gz
if [ -f "$man" ]; then
    gzip -t "$man" || fail "$man is not a gzip file"
    zcat "$man" | grep -q '^\.TH ORVANE 1' || fail "$man is no manual page"
    zcat "$man" | grep -q '@PROJECT_VERSION@' && fail "$man lacks its version"
fi
rules=$prefix/lib/udev/rules.d/70-orvane-dmx.rules
if [ -f "$rules" ]; then
    grep -q 'ATTRS{idVendor}=="0403".*TAG+="uaccess"' "$rules" ||
        fail "$rules gives no access to FTDI interfaces"
fi

# A user's first start: no ~/orvane yet. The program makes it with the demo
# show, runs the demo show (offscreen) and, told to end, writes its show file.
first_start() {
    local home
    home=$(mktemp -d)
    env -u ORVANE_ROOT -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" \
        QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ORVANE_NONINTERACTIVE=1 \
        ORVANE_DMX_PORT=/dev/null timeout --preserve-status -k 10 -s TERM 6 \
        "$prefix/bin/orvane" SHOW=demo >"$home/out" 2>&1
    local status=$?
    [ "$status" -eq 0 ] || fail "the first start on the demo show ended with status $status:
$(tail -5 "$home/out")"
    [ -d "$home/orvane/demo/step0" ] || fail "the first start did not copy the demo show"
    [ "$home/orvane/demo/dmx.ini" -nt "$prefix/share/orvane/demo/dmx.ini" ] ||
        fail "the demo show's file was not written when the program ended"
    rm -rf "$home"
}

# OLA's client is a module the program loads when the settings ask for OLA.
ola_module() {
    local module=$prefix/lib/orvane/orvane-ola.so home
    [ -f "$module" ] || {
        fail "missing $module"
        return
    }
    home=$(mktemp -d)
    mkdir -p "$home/.config/orvane"
    printf '[settings]\r\noutput=ola\r\n' >"$home/.config/orvane/profile.ini"
    env -u ORVANE_ROOT -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" \
        QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ORVANE_NONINTERACTIVE=1 \
        ORVANE_DMX_PORT=/dev/null timeout --preserve-status -k 10 -s TERM 8 \
        "$prefix/bin/orvane" SHOW=demo >"$home/out" 2>&1
    grep -q "OLA's support could not be loaded" "$home/out" &&
        fail "the installed program cannot load its OLA module: $(grep OLA "$home/out")"
    rm -rf "$home"
}

# The installed program: no display, no Qt platform chosen.
run() { env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/orvane" "$@"; }
if [ -x "$prefix/bin/orvane" ]; then
    version=$(run --version) || fail "orvane --version failed"
    [[ $version =~ ^orvane\ 0\.[0-9]+\.[0-9]+$ ]] || fail "orvane --version says '$version'"
    out=$(run --root "$prefix/share/orvane" --check demo 2>&1)
    status=$?
    [ "$status" -eq 0 ] || fail "orvane --check demo: status $status: $out"
    first_start
    if [ -n "$build" ] && [ -f "$build/orvane-ola.so" ]; then
        ola_module
    fi
fi

if [ "$failures" -ne 0 ]; then
    echo "check-layout: $failures problem(s) in $prefix" >&2
    exit 1
fi
echo "check-layout: $prefix holds a complete $version"
