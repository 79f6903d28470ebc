#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, when they are missing.
# Packages named as arguments are checked and installed with them.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libcjson-dev libhidapi-dev libudev-dev
    qt6-base-dev qt6-svg-dev libgl-dev
    fonts-liberation2 fonts-noto-cjk
    clang libclang-rt-14-dev
    iputils-ping
    "$@"
)

# One query for all.  It fails when one of them is unknown or not
# installed, and lists only what it knows.
installed=" $({ dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true; } |
    awk '/ ok installed$/ { printf "%s ", $1 }')"
missing=()
for p in "${packages[@]}"; do
    [[ "$installed" == *" $p "* ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then
    sudo="sudo"
fi
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
