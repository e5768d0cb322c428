#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, but only those missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config make
    qt6-base-dev qt6-base-private-dev qt6-serialport-dev libgl-dev
    libhidapi-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    locales
    # What the program loads to start, named here so that it is there also when apt installs no
    # recommended packages: the Qt libraries (libqt6gui6 holds the xcb platform plugin for a
    # desktop and the offscreen one for the tests), hidapi's hidraw library and a font.
    libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libhidapi-hidraw0 fonts-dejavu-core
)

# A decimal-comma locale for the tests that check number text is locale-free.
test_locale="de_DE.UTF-8"

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
        missing+=("$p")
    fi
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q "${missing[@]}"
fi

# locale -a spells it de_DE.utf8.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    echo "Generating locale: $test_locale"
    if grep -qx "# *$test_locale UTF-8" /etc/locale.gen 2>/dev/null; then
        $sudo sed -i "s/^# *$test_locale UTF-8\$/$test_locale UTF-8/" /etc/locale.gen
    elif ! grep -qx "$test_locale UTF-8" /etc/locale.gen 2>/dev/null; then
        echo "$test_locale UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen
fi
