#!/usr/bin/env bash
# Builds the shipped example project into a setup executable.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "demo: the programs are built (build/bin/velaset, build/bin/win32/)."
echo "demo: building the example package is not available yet: the build pipeline is still missing."
