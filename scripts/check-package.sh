#!/usr/bin/env bash
# CI: builds the Debian package, installs the program into a staging folder
# (DESTDIR) and runs the installed program from there (its version and a check
# of the installed demo show, without a display); the package's own contents
# pass the same checks.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
make package BUILD="$BUILD"
version=$(sed -n 's/^project(orvane .*VERSION \([0-9.]*\)).*/\1/p' CMakeLists.txt)
deb=$(ls "$BUILD"/orvane_"$version"_*.deb)
echo "check-package: $deb"
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libqt6widgets6 libsdl2 libsndfile1; do
    if [[ $depends != *$lib* ]]; then
        echo "check-package: the package does not depend on $lib: $depends" >&2
        exit 1
    fi
done
if [[ $(dpkg-deb --field "$deb" Recommends) != *qt6-translations-l10n* ]]; then
    echo "check-package: the package does not recommend Qt's translations" >&2
    exit 1
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage/destdir" cmake --install "$BUILD" --prefix /usr >/dev/null
bash tests/install/check-layout.sh "$stage/destdir/usr" "$BUILD"
dpkg-deb -x "$deb" "$stage/deb"
bash tests/install/check-layout.sh "$stage/deb/usr" "$BUILD"
