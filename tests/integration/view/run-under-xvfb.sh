#!/bin/sh
# Runs a test program on a private virtual X server. Exit code 77 tells ctest
# the test was skipped because Xvfb is not installed.
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run is not installed: skipped"
    exit 77
fi
# xvfb-run's default screen has 8-bit colour, which has no OpenGL visuals.
exec xvfb-run -a -s "-screen 0 640x480x24" "$@"
