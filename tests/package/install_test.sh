#!/usr/bin/env bash
# Installs the project into a scratch prefix and builds and runs two
# ordinary applications against the installed CMake package.
# usage: install_test.sh <build dir> <source dir>
set -euo pipefail
build=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$src/tests/package/consumer" -B "$work/consumer" -G Ninja \
      -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$work/consumer" >/dev/null
export QUORVEL_VIDEO=offscreen
"$work/consumer/plain_c"
"$work/consumer/framework_app"
