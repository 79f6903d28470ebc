#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, when they are missing.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libcjson-dev libhidapi-dev libudev-dev
    qt6-base-dev qt6-svg-dev libgl-dev
    fonts-liberation2 fonts-noto-cjk
    clang libclang-rt-14-dev
    iputils-ping
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
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
