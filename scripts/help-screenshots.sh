#!/usr/bin/env bash
# Takes the screenshots of the help pages (help/images/) from the real
# windows: the program from build/bin under Xvfb, with a fresh user
# configuration, driven with xdotool; the table editor, the graph and the
# sweep and instrument windows grabbed offscreen by the dialogs' screenshot test. Run it after a window changed, then
# rebuild (the help file is compiled from help/).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/help/images
bin=$PWD/build/bin
[ -x "$bin/K740scalib" ] || { echo "build the program first" >&2; exit 1; }
home=$(mktemp -d)
chmod 700 "$home"
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=xcb QMV_PLUGIN_PATH=$bin
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -eu
    out=$1 bin=$2
    "$bin/K740scalib" >/dev/null 2>&1 &
    pid=$!
    window() { timeout 20 bash -c "until xdotool search --onlyvisible --name \"$1\" 2>/dev/null; do sleep 0.3; done" | head -n 1; }
    main=$(window "^S-Meter Calibrator for ZX-K740\$")
    sleep 1
    import -window "$main" "$out/mainwindow-start.png"
    xdotool mousemove --window "$main" 40 145 click 1   # Open the demo receiver
    sleep 3
    import -window "$main" "$out/mainwindow-open.png"
    xdotool mousemove --window "$main" 414 11 click 1   # Help
    viewer=$(window "Help\$")
    sleep 1
    import -window "$viewer" "$out/helpviewer.png"
    kill $pid
' screenshots "$out" "$bin"
# The dialogs, grabbed offscreen from the real windows; the same run writes
# the README's picture of the table editor with the graph beside it.
[ -x "$bin/tests_dialogs" ] || { echo "build tests_dialogs first" >&2; exit 1; }
K740_HELP_IMAGES=$out K740_GRAPH_SCREENSHOT=$PWD/docs/screenshot-editor.png \
    QT_QPA_PLATFORM=offscreen "$bin/tests_dialogs" --gtest_filter='Screenshot.*'
ls -l "$out"
