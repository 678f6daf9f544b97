# Sourced by the scripts that run Windows programs: one Wine prefix under
# out/, one display, one wineserver for the whole run.
# shellcheck shell=bash

root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
out=${KELMORA_OUT:-out}
case "$out" in /*) ;; *) out="$root/$out" ;; esac
export WINEPREFIX="$out/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A non-Japanese locale on purpose: the saver must show Japanese anyway.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
xvfb_pid=""
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || wine64=wine64

# Wine's i386 half runs only where the kernel runs 32-bit programs. Where it
# does not, Debian's wine wrapper would still pick the 32-bit loader and
# fail, so every wine command is pointed at the 64-bit loader instead and
# the x86 tests are skipped with this reason.
wine_x86=0
wine_x86_reason=""
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_x86=1
else
    if [ -e /usr/lib/wine/wine ]; then
        wine_x86_reason="this machine's kernel cannot run 32-bit programs (its 32-bit emulation is off)"
    else
        wine_x86_reason="Wine's i386 half (wine32:i386) is not installed"
    fi
    if [ -x /usr/lib/wine/wine64 ]; then
        mkdir -p "$out/wine-bin"
        for name in wine wine-stable; do
            printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$out/wine-bin/$name"
            chmod +x "$out/wine-bin/$name"
        done
        export PATH="$out/wine-bin:$PATH"
        export WINELOADER=/usr/lib/wine/wine64
    fi
fi

# start_display [WxH] [use-own] [WxH of a second monitor]: Xvfb on a free
# display number unless the caller is happy with an existing DISPLAY. With a
# second size the display is an X server on the dummy video driver with two
# outputs side by side (Xvfb's Xinerama lays every screen at the origin, so
# Wine would take the second monitor for a mirror of the first); where that
# server cannot start, one Xvfb screen is used instead.
start_display() {
    local size=${1:-1024x768} own=${2:-own} second=${3:-}
    if [ "$own" != own ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        if [ -n "$second" ] && start_two_monitors "$n" "$size" "$second"; then
            return 0
        fi
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        wait_display && return 0
        kill "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    done
    echo "wine-env: no display could be started" >&2
    return 1
}

# wait_display: up to ten seconds for the server of $DISPLAY ($xvfb_pid).
wait_display() {
    local i
    for i in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# modeline WxH: a 60 Hz mode line for the dummy driver.
modeline() {
    local w=${1%x*} h=${1#*x}
    echo "$(( (w + 160) * (h + 30) * 60 / 1000000 )).$(( (w + 160) * (h + 30) * 60 / 1000 % 1000 )) $w $((w + 48)) $((w + 80)) $((w + 160)) $h $((h + 3)) $((h + 8)) $((h + 30)) +hsync +vsync"
}

# start_two_monitors N WxH WxH: the primary monitor at the origin and the
# second one to its right, on display :N.
start_two_monitors() {
    local n=$1 first=$2 second=$3
    command -v Xorg >/dev/null 2>&1 && command -v xrandr >/dev/null 2>&1 || return 1
    [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || return 1
    local dir="$out/xorg-$n"
    mkdir -p "$dir"
    local w1=${first%x*} h1=${first#*x} w2=${second%x*} h2=${second#*x}
    local h=$(( h1 > h2 ? h1 : h2 ))
    cat >"$dir/xorg.conf" <<EOF
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AllowMouseOpenFail" "true"
EndSection
Section "Device"
    Identifier "card"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "first" $(modeline "$first")
EndSection
Section "Screen"
    Identifier "screen"
    Device "card"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "first"
        Virtual $(( w1 + w2 )) $h
    EndSubSection
EndSection
EOF
    Xorg ":$n" -config "$dir/xorg.conf" -logfile "$dir/xorg.log" -noreset -nolisten tcp \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    # shellcheck disable=SC2046
    if wait_display &&
        xrandr --newmode second $(modeline "$second") >/dev/null 2>&1 &&
        xrandr --addmode DUMMY1 second >/dev/null 2>&1 &&
        xrandr --output DUMMY1 --mode second --right-of DUMMY0 >/dev/null 2>&1; then
        # A full query makes the server probe its outputs again; until then
        # the cheap query Wine makes still reports one monitor.
        xrandr --query >/dev/null 2>&1
        export KELMORA_TEST_MONITORS=2
        return 0
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
    return 1
}

# The prefix is made once and kept; the font replacements map the faces the
# saver asks for onto the IPA fonts installed from Debian.
start_wine() {
    # A server left from a run without this display would refuse windows.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    mkdir -p "$out"
    # A prefix made with one set of Wine's halves cannot start programs
    # with another: the stamp says which it was made with.
    local halves=win64
    [ "$wine_x86" = 1 ] && halves=wow64
    if [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$WINEPREFIX/.kelmora-halves" 2>/dev/null)" != "$halves" ]; then
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        [ -d "$WINEPREFIX" ] && echo "$halves" >"$WINEPREFIX/.kelmora-halves"
    fi
    wineserver -p >/dev/null 2>&1 || true
    local reg="$out/fonts.reg"
    python3 - "$reg" <<'PY'
import sys
link = ",".join("%02x" % b for b in "ipag.ttf,IPAGothic\0\0".encode("utf-16-le"))
lines = [
    "Windows Registry Editor Version 5.00", "",
    "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]",
    '"\uff2d\uff33 \u30b4\u30b7\u30c3\u30af"="IPAGothic"',
    '"\uff2d\uff33 \u660e\u671d"="IPAMincho"',
    '"\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af"="IPAPGothic"',
    '"\uff2d\uff33 \uff30\u660e\u671d"="IPAPMincho"',
    '"MS Gothic"="IPAGothic"',
    '"MS Mincho"="IPAMincho"', "",
    # No window manager runs on the test display: Wine draws frames and
    # captions itself, so dialogs look as they would on Windows.
    "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]",
    '"Managed"="N"',
    '"Decorated"="N"', "",
    # Captions and message boxes use the system's UI faces: let them fall
    # back on the IPA font for Japanese, as a Japanese Windows does.
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]",
] + ['"%s"=hex(7):%s' % (face, link) for face in (
    "Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif", "MS Sans Serif",
    "Segoe UI", "Arial", "Times New Roman", "Courier New")] + [""]
open(sys.argv[1], "wb").write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))
PY
    regedit64 "$reg"
}

# regedit64 FILE: imports a .reg file into the 64-bit view of the registry,
# where the x64 saver reads its settings (plain "wine regedit" is the 32-bit
# one once Wine's i386 half is installed).
regedit64() {
    "$wine64" regedit /S "$(winepath -w "$1" 2>/dev/null)" >/dev/null 2>&1 || true
}

# pids_of TEXT...: the processes whose command line holds any TEXT (a
# Windows program's own path, say, so that another run's copy is left
# alone). Give both the Unix and the Windows form of a program's path:
# which of them the process shows depends on how Wine started it.
pids_of() {
    local p cmd text
    for p in /proc/[0-9]*; do
        cmd=$(tr '\0' ' ' 2>/dev/null <"$p/cmdline") || continue
        for text in "$@"; do
            [ -n "$text" ] || continue
            case "$cmd" in *"$text"*) echo "${p#/proc/}"; break ;; esac
        done
    done
}

stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}
