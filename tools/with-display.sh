#!/usr/bin/env bash
# Runs a command with an X display: the caller's, or a private Xvfb when there is none.
set -euo pipefail
if [[ -n ${DISPLAY:-} ]]; then
    exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
