# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by sentalia-run and sentalia-test: installs what is missing from
# Debian's packages and builds the project into build/.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_missing PACKAGE...: installs only the packages not yet installed.
install_missing() {
    missing=""
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
            missing="$missing $package"
        fi
    done
    if [ -n "$missing" ]; then
        echo "==> Installing:$missing"
        as_root apt-get update -qq
        # shellcheck disable=SC2086
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
    fi
}

BUILD_PACKAGES="build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev \
qt6-base-private-dev qt6-translations-l10n libsqlcipher-dev sqlcipher libcups2-dev fonts-comic-neue fonts-liberation2 fortunes-es"

build_project() {
    echo "==> Building into $BUILD"
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD" -j"$(nproc)"
}
