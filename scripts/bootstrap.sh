#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), then configures and builds.
#   scripts/bootstrap.sh            -> build/ (Debug)
#   scripts/bootstrap.sh --asan     -> build-asan/ (AddressSanitizer + UndefinedBehaviorSanitizer,
#                                      warnings are errors)
#   scripts/bootstrap.sh --no-build -> packages only
#   scripts/bootstrap.sh --target=X  -> builds only target X (repeatable); default: everything
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-httpserver-dev qt6-websockets-dev libqt6sql6-sqlite qt6-svg-dev
    qt6-tools-dev qt6-l10n-tools libgl-dev libxkbcommon-dev
    # The remembered password in the system keyring (the Secret Service over D-Bus).
    qtkeychain-qt6-dev
    # The photo's camera: Qt's media backend runs on GStreamer, whose video4linux plugin
    # (plugins-good) lists and opens the cameras.
    qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    libgtest-dev libbenchmark-dev zlib1g-dev
    fonts-noto-cjk xvfb xauth curl
    # Packaging: the checks of the desktop entry and the metainfo, and what cpack -G DEB runs
    # (dpkg-shlibdeps for the dependencies, file to tell the programs from the data).
    desktop-file-utils appstream dpkg-dev file
    # Qt's own dialogs in the teacher's language; the accessibility smoke test talks to the
    # program over the accessibility bus (AT-SPI) in a private D-Bus session.
    qt6-translations-l10n at-spi2-core python3-pyatspi dbus
    # The format every file follows (./test.sh checks it).
    clang-format
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "bootstrap: installing ${missing[*]}"
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        command -v sudo >/dev/null || { echo "bootstrap: need root or sudo to install ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

mode=build
dir=build
flags=(-DCMAKE_BUILD_TYPE=Debug)
targets=()
for arg in "$@"; do
    case "$arg" in
        --asan) dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=Debug -DTEACHER_SANITIZE=ON -DTEACHER_WERROR=ON) ;;
        --release) flags=(-DCMAKE_BUILD_TYPE=Release) ;;
        --no-build) mode=none ;;
        --target=?*) targets+=(--target "${arg#--target=}") ;;
        *) echo "bootstrap: unknown option $arg" >&2; exit 64 ;;
    esac
done
[[ $mode == none ]] && exit 0

if [[ ! -f "$dir/build.ninja" ]]; then
    cmake -S . -B "$dir" -G Ninja "${flags[@]}"
else
    # An existing tree takes this mode's settings too (a tree made before -Werror was its rule).
    cmake -S . -B "$dir" "${flags[@]}" >/dev/null
fi
cmake --build "$dir" "${targets[@]}"
