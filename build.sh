#!/usr/bin/env bash
# Set-up, build, start and test in one place.
#   ./build.sh run        install what is missing, build, start kalorix
#   ./build.sh diffundo   the same for diffundo
#   ./build.sh test       install what is missing, build, run all tests
#   ./build.sh build      install what is missing and build
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake g++ make qt6-base-dev qt6-multimedia-dev qt6-translations-l10n libgtest-dev
          fonts-liberation libgl-dev)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$(nproc)"
}

case "${1:-run}" in
    run)      install_missing; build; exec build/bin/kalorix ;;
    diffundo) install_missing; build; exec build/bin/diffundo ;;
    build)    install_missing; build ;;
    test)     install_missing; build; cd build && ctest --output-on-failure -j"$(nproc)" ;;
    *)        echo "usage: $0 [run|diffundo|build|test]" >&2; exit 2 ;;
esac
