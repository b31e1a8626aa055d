#!/usr/bin/env bash
# Sets everything up, builds, and starts audkit-server on the SQLite database
# audkit-server.sqlite3 (made when missing) until Ctrl-C or SIGTERM.
# Arguments go to `audkit-server serve` (for example --listen 0.0.0.0:8080).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"
exec "$root/build/audkit-server" serve "$@"
