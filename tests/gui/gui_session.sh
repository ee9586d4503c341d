# Shared by the window program's end-to-end step and tools/screenshots (sourced, not run):
# a private X display, a private Wine prefix at a chosen DPI, and the sample site on
# loopback. Everything started here is remembered by process id and ended by gui_cleanup.

GUI_PIDS=()
GUI_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

gui_cleanup() {
    if [[ -n "${WINEPREFIX:-}" && -d "${WINEPREFIX}" ]]; then
        wineserver -k 2>/dev/null  # the private prefix's own server only
    fi
    for pid in "${GUI_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${GUI_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    GUI_PIDS=()
}

# Polls a shell condition every 0.1 s for at most $1 seconds.
gui_wait() {
    local seconds=$1; shift
    local tries=$((seconds * 10))
    while ((tries-- > 0)); do
        if eval "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}

# Starts Xvfb on the first free display from :80 and exports DISPLAY.
gui_start_display() {
    local number=80
    while [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 1920x1300x24 -nolisten tcp >/dev/null 2>&1 &
    GUI_PIDS+=($!)
    export DISPLAY=":$number"
    gui_wait 20 'xdpyinfo >/dev/null 2>&1'
}

# Serves tests/gui/sample-site on 127.0.0.1; sets GUI_SITE to "http://127.0.0.1:<port>".
gui_start_site() {
    local work=$1
    python3 "$GUI_ROOT/tools/serve-site.py" --root "$GUI_ROOT/tests/gui/sample-site" \
        --port-file "$work/site.port" --max-seconds 900 --max-requests 3000 \
        >"$work/site.log" 2>&1 &
    GUI_PIDS+=($!)
    gui_wait 20 "[[ -s '$work/site.port' ]]" || return 1
    GUI_SITE="http://127.0.0.1:$(cat "$work/site.port")"
}

# A fresh Wine prefix whose screen reports the given DPI.
gui_make_prefix() {
    local prefix=$1 dpi=$2
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wineboot -i >/dev/null 2>&1 || return 1
    local hex
    hex=$(printf '0x%x' "$dpi")
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$hex" /f \
        >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$hex" /f >/dev/null 2>&1
    # Without a window manager on the private display, Wine draws title bars and frames
    # itself only for windows it does not hand to a manager.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # Wine has no Segoe UI; a condensed sans serif comes closer to its widths than the
    # default fallback, so the captions fit their fixed control widths as they do on Windows.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Segoe UI' /t REG_SZ \
        /d 'DejaVu Sans Condensed' /f >/dev/null 2>&1
    wineserver -w
}

# Copies the program into a folder of its own, as a user would unpack it.
gui_install_app() {
    local folder=$1
    mkdir -p "$folder"
    cp "$GUI_ROOT/build-win/Beaconsmith.exe" "$folder/"
}
