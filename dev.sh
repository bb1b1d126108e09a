#!/usr/bin/env bash
# Developer entry point: ./dev.sh deps | build | test [--sanitize] | run
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libsdl2-dev libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
  libpixman-1-dev libfreetype-dev libfontconfig-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xfonts-base xdotool x11-utils x11-apps
)

log() { printf '\033[1m==> %s\033[0m\n' "$*" >&2; }

deps() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then return 0; fi
  log "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  # With their recommendations: the X server's fonts and the sanitizer and
  # fuzzer runtimes come that way, as on the machines the suite is run on.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# build [preset]: configure when needed, then build everything.
build() {
  local preset=${1:-default} dir
  case "$preset" in
    default) dir=build ;;
    *) dir=build-$preset ;;
  esac
  deps
  if [ ! -f "$dir/build.ninja" ]; then
    log "configuring ($preset)"
    cmake --preset "$preset" >/dev/null
  fi
  log "building ($preset)"
  cmake --build "$dir" --parallel "$(nproc)"
}

has_display() {
  [ "${QUORVEL_VIDEO:-}" != offscreen ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }
}

run() {
  build default
  cd build/bin
  if has_display; then
    exec ./isometric "$@"
  elif [ -x ./quorvel-snapshot ]; then
    ./quorvel-snapshot --out "$PWD/isometric.png" "$@"
    log "no display: the headless frame is in $PWD/isometric.png"
  else
    QUORVEL_VIDEO=offscreen exec ./isometric "$@"
  fi
}

test_() {
  local preset=default
  if [ "${1:-}" = "--sanitize" ]; then preset=asan; shift; fi
  build "$preset"
  local dir=build
  [ "$preset" = default ] || dir=build-$preset
  log "testing ($preset)"
  local env=()
  if [ "$preset" = asan ]; then
    env=(ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
         UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
         LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp)
  fi
  env "${env[@]}" ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" "$@"
}

cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
  deps) deps ;;
  build) build "${1:-default}" ;;
  test) test_ "$@" ;;
  run) run "$@" ;;
  *) echo "usage: ./dev.sh deps | build [default|release|asan] | test [--sanitize] | run" >&2; exit 2 ;;
esac
