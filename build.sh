#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and then starts the editor
# ("run", the default) or runs the whole test suite headless ("test").
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev fonts-dejavu-core
  qt6-webengine-dev qt6-multimedia-dev gstreamer1.0-plugins-good libhunspell-dev hunspell-en-us libtidy-dev
  breeze-icon-theme qt6-image-formats-plugins libqt6svg6 poppler-utils"
# The test run also builds the Debian package and checks it.
if [ "${1:-run}" = test ]; then
  PACKAGES="$PACKAGES lintian desktop-file-utils appstream"
fi

missing=""
for p in $PACKAGES; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing"
    echo "Install them with: sudo apt-get update && sudo apt-get install -y$missing"
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi

BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

case "${1:-run}" in
  run)
    shift || true
    exec "$BUILD/bin/velquist" "$@"
    ;;
  test)
    # The installed layout: the program runs from a prefix of its own.
    tmp=$(mktemp -d)
    cmake --install "$BUILD" --prefix "$tmp" >/dev/null
    "$tmp/bin/velquist" --version
    rm -rf "$tmp"
    # The package, as a user installs it: its menu entry, metadata and
    # Debian's own checks.
    desktop-file-validate packaging/velquist.desktop
    appstreamcli validate --no-net --pedantic packaging/org.velquist.velquist.metainfo.xml
    (cd "$BUILD" && cpack -G DEB >/dev/null)
    lintian --fail-on error,warning "$BUILD"/velquist_*.deb
    cd "$BUILD"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac
