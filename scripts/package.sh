#!/usr/bin/env bash
# Installs what is missing, builds into the folder given first (default build/, the folder
# scripts/test.sh tests), makes the Debian package with CPack and checks it with
# scripts/check_package.sh. The .deb lands in <build>/package/.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
scripts/setup.sh
scripts/build.sh "$dir" -DPIXMORA_BUILD_UI=ON
rm -f "$dir"/package/pixmora_*.deb
cpack --config "$dir/CPackConfig.cmake" -B "$dir/package" >/dev/null
deb=$(ls "$dir"/package/pixmora_*.deb)
scripts/check_package.sh "$deb"
echo "$deb"
