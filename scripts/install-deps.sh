#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vantorel need,
# only those that are missing. Needs root when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ make
    samba samba-common-bin iproute2
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core
    pkgconf libmariadb-dev mariadb-server libical-dev
    clang libclang-rt-dev
    # make package: dpkg-shlibdeps finds the packages of the libraries the programs use.
    dpkg-dev
    # The Windows build (make windows): mingw-w64 with posix threads, GoogleTest's sources,
    # and Wine to run its tests.
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest wine wine64
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Paquets manquants : ${missing[*]} (à installer en root : apt-get install ${missing[*]})" >&2
    exit 1
fi
echo "Installation de : ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
