#!/usr/bin/env bash
# Builds the Debian package from build/ (configured and built by
# scripts/run-tests.sh) and checks it: its files, its dependencies, the
# desktop entry and the metainfo, and that the program as packaged starts
# under Xvfb, opens the demo receiver without QMV_PLUGIN_PATH and ends
# cleanly. It then checks that the README's run command does the same in the
# build folder.
#
# The package is unpacked with dpkg-deb -x and run from there, with
# XDG_CONFIG_DIRS pointing at its etc/xdg; since the unpacked folder is not
# /usr/lib/k740scalib, its QMV.conf is checked for that value and then
# pointed at the unpacked folder. With --install (as root) the package is
# installed with dpkg instead, run from /usr/bin and purged again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build
mode=unpack
[ "${1:-}" = "--install" ] && mode=install

fail() { echo "check-package: $*" >&2; exit 1; }
[ -f "$build/CPackConfig.cmake" ] || fail "configure and build $build first (scripts/run-tests.sh)"

work=$(mktemp -d)
# Screenshots and logs of the runs stay here for a look afterwards.
shots=$build/package-check
rm -rf "$shots" && mkdir -p "$shots"
cleanup() {
    if [ "$mode" = install ] && dpkg -s k740scalib >/dev/null 2>&1; then dpkg -P k740scalib >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "== building the package"
cmake --build "$build" -j "$(nproc)" >/dev/null
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null) || fail "cpack failed"
deb=$(ls "$work"/out/k740scalib_*.deb)
echo "$(basename "$deb")"

echo "== contents"
dpkg-deb -c "$deb" >"$work/contents"
lib=usr/lib/k740scalib
expected=(
    "$lib/K740scalib" "$lib/ZXK740API.dll" "$lib/smetersdk.dll" "$lib/K740Demod.qmv"
    "$lib/hhctrl.ocx" "$lib/libk740sim.so" "$lib/K740scalib.chm"
    usr/bin/k740scalib
    usr/share/applications/com.korvanta.k740scalib.desktop
    usr/share/metainfo/com.korvanta.k740scalib.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/com.korvanta.k740scalib.svg
    etc/xdg/QMV.conf
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/com.korvanta.k740scalib.png")
done
[ -f "$build/bin/k740cal" ] && expected+=("$lib/k740cal" usr/bin/k740cal)
for file in "${expected[@]}"; do
    grep -q " \./$file\( ->.*\)\?$" "$work/contents" || fail "the package lacks $file"
done
if grep -q -e variants -e tests_ -e bench_ "$work/contents"; then fail "the package holds test files"; fi

echo "== control"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dependency in libqt6widgets6 libchm1 zlib1g fonts-liberation; do
    [[ "$depends" == *"$dependency"* ]] || fail "Depends lacks $dependency"
done
dpkg-deb -I "$deb" conffiles | grep -qx /etc/xdg/QMV.conf || fail "QMV.conf is no conffile"

echo "== unpacked files"
tree=$work/root
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree/usr/share/applications/com.korvanta.k740scalib.desktop"
appstreamcli validate --no-net "$tree/usr/share/metainfo/com.korvanta.k740scalib.metainfo.xml"
grep -qx "SearchPath=/usr/lib/k740scalib" "$tree/etc/xdg/QMV.conf" || fail "QMV.conf does not name /usr/lib/k740scalib"
[ "$(readlink "$tree/usr/bin/k740scalib")" = ../lib/k740scalib/K740scalib ] || fail "usr/bin/k740scalib is no link to the program"

# Starts a program under Xvfb with a fresh user configuration, presses "Open"
# on the demo receiver (the first row, selected at start), and checks that no
# message box came up and that the module's window opened below the main
# window; then presses "Close" and expects a clean exit.
drive() { # name command...
    local name=$1
    shift
    local home=$work/home-$name
    mkdir -p "$home" && chmod 700 "$home"
    XDG_CONFIG_HOME=$home XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        set -u
        "$@" >"'"$shots/$name.log"'" 2>&1 &
        pid=$!
        window=$(timeout 30 bash -c "until xdotool search --onlyvisible --name \"^S-Meter Calibrator for ZX-K740\$\" 2>/dev/null; do sleep 0.3; done" | head -n 1)
        [ -n "$window" ] || { echo "no main window"; kill $pid; exit 1; }
        eval "$(xdotool getwindowgeometry --shell "$window")"
        before=$HEIGHT
        sleep 1
        xdotool mousemove --window "$window" 40 145 click 1
        sleep 3
        if xdotool search --onlyvisible --name "^Error$" >/dev/null 2>&1; then
            import -window root "'"$shots/$name.png"'" 2>/dev/null || true
            echo "a message box came up"; kill $pid; exit 1
        fi
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "$HEIGHT" -gt "$before" ] || { echo "the module window did not open ($before -> $HEIGHT)"; kill $pid; exit 1; }
        import -window root "'"$shots/$name.png"'" 2>/dev/null || true
        xdotool mousemove --window "$window" 460 276 click 1
        for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
        if kill -0 $pid 2>/dev/null; then echo "the program did not end"; kill $pid; exit 1; fi
        wait $pid
    ' drive "$@" || { cat "$shots/$name.log" >&2; fail "$name: the program did not open the demo receiver and end cleanly"; }
    echo "$name: opened the demo receiver and ended cleanly"
}

echo "== the packaged program"
if [ "$mode" = install ]; then
    [ "$(id -u)" -eq 0 ] || fail "--install needs root"
    dpkg -i "$deb" >/dev/null
    env -u QMV_PLUGIN_PATH XDG_CONFIG_DIRS=/etc/xdg bash -c "$(declare -f drive fail); work=$work; shots=$shots; drive installed /usr/bin/k740scalib"
else
    mkdir -p "$work/xdg"
    sed "s|^SearchPath=.*|SearchPath=$tree/usr/lib/k740scalib|" "$tree/etc/xdg/QMV.conf" >"$work/xdg/QMV.conf"
    env -u QMV_PLUGIN_PATH XDG_CONFIG_DIRS="$work/xdg" bash -c "$(declare -f drive fail); work=$work; shots=$shots; drive unpacked $tree/usr/bin/k740scalib"
fi

echo "== the README's run command"
# The command of the "Build and run" section, less the package installation.
command=$(grep -m1 'build/bin/K740scalib' README.md | sed 's/^bash scripts\/install-deps.sh && //')
[ -n "$command" ] || fail "README has no run command"
echo "$command"
env -u QMV_PLUGIN_PATH XDG_CONFIG_DIRS="$work/no-xdg" bash -c "$(declare -f drive fail); work=$work; shots=$shots; drive readme bash -c '$command'"
echo "check-package: all checks passed"
