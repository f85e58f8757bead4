#!/usr/bin/env bash
# Prints the profile setting "root" (section [settings] of
# $XDG_CONFIG_HOME/orvane/profile.ini, default ~/.config), read as orvane reads
# its profile: sections and keys in any case, only the first [settings]
# section and the first "root" in it count, blanks around keys and values are
# dropped, LF or CR LF line ends, ";" starts a comment. Prints nothing when the
# setting is absent or empty.
set -euo pipefail
profile="${XDG_CONFIG_HOME:-$HOME/.config}/orvane/profile.ini"
[ -f "$profile" ] || exit 0
awk '
function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t\r]+$/, "", s); return s }
{ line = trim($0) }
line == "" { next }
substr(line, 1, 1) == "[" {
    if (inside) exit
    name = substr(line, 2)
    close_at = index(name, "]")
    if (close_at) name = substr(name, 1, close_at - 1)
    if (tolower(trim(name)) == "settings") inside = 1
    next
}
!inside || substr(line, 1, 1) == ";" { next }
{
    eq = index(line, "=")
    if (eq && tolower(trim(substr(line, 1, eq - 1))) == "root") {
        print trim(substr(line, eq + 1))
        exit
    }
}
' "$profile"
