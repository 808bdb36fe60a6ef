#!/usr/bin/env bash
# Bytes on the wire to the X server and client CPU time per repaint (scroll,
# page flip, typed key, full repaint) at 800x600 and 1920x1080, with and
# without shared memory. The program starts its own Xvfb and counting proxy.
# Usage: scripts/bench-repaint-traffic.sh [build-dir]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
if [[ -z ${VEXOR_CONFIG_DIR:-} ]]; then
  VEXOR_CONFIG_DIR=$(mktemp -d)
  export VEXOR_CONFIG_DIR
  trap 'rm -rf "$VEXOR_CONFIG_DIR"' EXIT
fi
"$build/bench_x_traffic_bench"
