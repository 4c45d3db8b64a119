#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing;
# further packages can be named as arguments.
set -euo pipefail
packages=(build-essential cmake qt6-base-dev qt6-image-formats-plugins libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev clang xvfb xauth xdg-utils
          pkg-config libturbojpeg0-dev libjpeg62-turbo-dev libspng-dev tzdata "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
