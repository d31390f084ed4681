# scripts/setup.sh — shared by ./play and ./run-tests: Debian packages and the build.
# Sourced, not run.

# Installs the Debian packages named in "$@" that are missing. As root it uses
# apt-get; otherwise it prints the one line to run and stops.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Kestrava needs these Debian packages: ${missing[*]}"
    echo "Install them with:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
  echo "Installing ${missing[*]} ..."
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

GAME_PACKAGES=(cmake make g++ freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri libopenal-dev libenet-dev pkg-config)
TEST_PACKAGES=(libgtest-dev googletest libbenchmark-dev xvfb xdotool imagemagick libpng-dev x11-utils clang libclang-rt-14-dev python3)
# scripts/loaded-runs: the load it puts on the machine.
LOAD_PACKAGES=(stress-ng)

# build DIR [cmake options...]: configure once, then build with both cores.
build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# start_xvfb: a virtual display for the layers that draw, exported as DISPLAY
# with Mesa's software renderer; it stops when the calling shell exits. Xvfb
# picks a free display number itself and writes it out once it accepts
# clients, so that several test runs may start at once (on one machine, or in
# one run). It does not reset when its last client leaves: a game started in
# that moment (the end-to-end tests start one right after another quits)
# would find no display.
start_xvfb() {
  local told
  told=$(mktemp)
  Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$told" 2>/dev/null &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  for _ in $(seq 1 300); do
    if [ -s "$told" ]; then
      export DISPLAY=":$(head -n 1 "$told")" LIBGL_ALWAYS_SOFTWARE=1
      rm -f "$told"
      return 0
    fi
    kill -0 $xvfb_pid 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$told"
  echo "Xvfb did not start"
  exit 1
}
