#!/usr/bin/env bash
# After ctest: the tests that were skipped, each with the reason it gave, and
# where the files of failed tests were kept. Reads ctest's own log.
set -uo pipefail
build=${1:-build}
log="$build/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
skipped=$(awk '
    /^[0-9]+\/[0-9]+ Testing: / { test = $3; reason = ""; done = 0; next }
    /: Skipped$/ { getline reason; next }
    /^\[  SKIPPED \]/ && !done { done = 1; print "  " test ": " (reason == "" ? "(no reason given)" : reason) }
' "$log" | sort)
if [ -n "$skipped" ]; then
    echo
    echo "$(echo "$skipped" | wc -l) tests skipped:"
    echo "$skipped"
fi
artefacts="$build/test-artefacts"
if [ -n "$(ls -A "$artefacts" 2>/dev/null | grep -vx screenshots)" ]; then
    echo
    echo "Files of the failed tests (program output, shows, profiles): $artefacts/<suite>.<test>/"
fi
if [ -d "$artefacts/screenshots" ]; then
    echo
    echo "Screenshots for a person to judge: $artefacts/screenshots/"
fi
exit 0
