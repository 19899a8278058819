#!/usr/bin/env bash
# Installs what is missing, builds, and launches Pixmora.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -x build/ui/pixmora ]; then
    exec build/ui/pixmora "$@"
fi
exec build/cli/pixmora-batch --help
