# Shared by scripts/run and scripts/test: installs what is missing, builds, and sets up Wine and an
# X server inside the build tree. Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PROMPTELLA_BUILD:-$ROOT/build}"
JOBS="$(nproc 2>/dev/null || echo 2)"

log() { printf '== %s\n' "$*" >&2; }

# Installs the Debian packages that are missing, with apt-get (run as root or with sudo).
ensure_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

WINDOWS_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine
                  fonts-liberation xvfb xauth imagemagick x11-utils)
NATIVE_PACKAGES=(cmake make g++ libgtest-dev libgmock-dev)
FUZZ_PACKAGES=(clang-14 libfuzzer-14-dev)
PACKAGE_PACKAGES=(wixl msitools zip python3 python3-jsonschema python3-yaml)
SLOW_DRIVE_PACKAGES=(gcc fuse3 libfuse3-dev pkg-config)

build_windows() {
  log "cross build (MinGW-w64) in $BUILD/win"
  cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >"$BUILD/cmake-win.log" 2>&1 || { cat "$BUILD/cmake-win.log"; return 1; }
  cmake --build "$BUILD/win" -j "$JOBS" "$@"
}

# The same Windows program built by a second compiler (clang with the MinGW-w64 target), with
# the same strict warnings as errors: it finds what GCC lets through.
build_windows_clang() {
  log "second compiler: clang for Windows in $BUILD/clang-win"
  cmake -S "$ROOT" -B "$BUILD/clang-win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-clang.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPROMPTELLA_TESTS=OFF >"$BUILD/cmake-clang-win.log" 2>&1 ||
    { cat "$BUILD/cmake-clang-win.log"; return 1; }
  # The linker's notes on GCC's library sections say nothing about our code.
  cmake --build "$BUILD/clang-win" -j "$JOBS" 2>&1 | grep -v 'duplicate section' >&2
  return "${PIPESTATUS[0]}"
}

build_native() {
  log "native build in $BUILD/native"
  cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug >"$BUILD/cmake-native.log" 2>&1 ||
    { cat "$BUILD/cmake-native.log"; return 1; }
  cmake --build "$BUILD/native" -j "$JOBS"
}

build_fuzzers() {
  log "fuzz targets (clang, libFuzzer) in $BUILD/fuzz"
  CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD/fuzz" -DPROMPTELLA_FUZZ=ON -DPROMPTELLA_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$BUILD/cmake-fuzz.log" 2>&1 || { cat "$BUILD/cmake-fuzz.log"; return 1; }
  cmake --build "$BUILD/fuzz" -j "$JOBS"
}

# A private Wine prefix inside the build tree, booted once; nothing of the user's Wine is touched.
setup_wine() {
  export WINEPREFIX="$BUILD/wineprefix"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "booting the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

# Starts Xvfb when there is no display; stop_display ends it.
XVFB_PID=""
start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local number
  for number in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
  done
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$number"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  log "Xvfb did not start"
  return 1
}

stop_display() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# A drive that answers after seconds (a sleeping disk, a share whose server is gone): a slow file
# system mounted with FUSE and given Wine's drive letter S:. Needs root and /dev/fuse; false
# where it cannot be had. unmount_slow_drive takes it away again.
SLOW_DRIVE_MOUNT="$BUILD/mounts/slow"
mount_slow_drive() {
  [ "$(id -u)" -eq 0 ] && [ -e /dev/fuse ] || return 1
  mkdir -p "$BUILD/mounts"
  gcc -Wall -Wextra -Werror -O2 "$ROOT/tests/slowfs/slowfs.c" $(pkg-config --cflags --libs fuse3) \
    -o "$BUILD/slowfs" || return 1
  unmount_slow_drive
  mkdir -p "$SLOW_DRIVE_MOUNT"
  PROMPTELLA_SLOW_SECONDS="${1:-5}" "$BUILD/slowfs" -o allow_other "$SLOW_DRIVE_MOUNT" || return 1
  ln -sfn "$SLOW_DRIVE_MOUNT" "$WINEPREFIX/dosdevices/s:"
}
unmount_slow_drive() {
  rm -f "${WINEPREFIX:-/nonexistent}/dosdevices/s:"
  # Lazily: a look at it may still be sleeping, which would keep a plain unmount from going.
  fusermount3 -u -z "$SLOW_DRIVE_MOUNT" 2>/dev/null || true
}

# Converts a BMP screenshot to PNG beside it, when ImageMagick is there.
to_png() {
  local bmp="$1"
  command -v convert >/dev/null 2>&1 && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
}
