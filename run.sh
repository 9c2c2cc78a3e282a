#!/usr/bin/env bash
# Builds Chromalynx if needed (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/setup.sh
exec build/app/chromalynx
