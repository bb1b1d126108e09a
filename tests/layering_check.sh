#!/usr/bin/env bash
# Keeps the layers honest: only the host talks to SDL, and the framework and
# the demo are written against Win32 alone, with no platform conditionals.
# usage: layering_check.sh <source dir>
set -u
cd "$1"
fail=0
report() { echo "layering: $1"; echo "$2" | sed 's/^/  /'; fail=1; }

hits=$(grep -rnE '#\s*include\s*[<"]SDL' platform framework demo tools 2>/dev/null | grep -v '^platform/win32/src/host/')
[ -z "$hits" ] || report "SDL is included outside platform/win32/src/host:" "$hits"

hits=$(grep -rnE '#\s*(if|ifdef|ifndef|elif).*\b(_WIN32|_WIN64|__linux__|__APPLE__|__unix__)\b' framework demo 2>/dev/null)
[ -z "$hits" ] || report "platform conditionals in the framework or the demo:" "$hits"

hits=$(grep -rnE '#\s*include\s*"(host|user|gdi|wgl|kernel|comctl|common)/' framework demo 2>/dev/null)
[ -z "$hits" ] || report "the framework or the demo reaches into the layer's internals:" "$hits"

[ $fail -eq 0 ] && echo "layering: ok"
exit $fail
