# A throw-away Wine prefix for the Windows checks, and running programs in
# it; sourced by
# scripts/windows-check.sh and scripts/installer-check.sh, which provide
# die(). Decide DISPLAY before calling: a prefix first started without one
# cannot open windows later.
#
# make_wine_prefix NAME makes $work, a temporary folder removed at exit,
# holding the 64-bit prefix ($WINEPREFIX) and a home of its own ($HOME, with
# a Documents folder): Wine links the prefix's Documents and Desktop to the
# home (or to the caller's XDG folders) when it makes the prefix, so nothing
# a check installs or writes reaches the user's files.

# Runs a Windows program under Wine with a time limit; its output goes to
# $work/<label>.out and .err (the output shown indented, its last line in
# $last_line), the exit code to $status, the label to $wine_label.
run_wine() {
    wine_label=$1
    shift
    status=0
    timeout -k 5 120 wine "$@" >"$work/$wine_label.out" 2>"$work/$wine_label.err" || status=$?
    tr -d '\r' <"$work/$wine_label.out" >"$work/$wine_label.log"
    sed 's/^/   | /' "$work/$wine_label.log"
    last_line=$(sed '/^[[:space:]]*$/d' "$work/$wine_label.log" | tail -n 1)
}

# Why a Wine run ended badly, from its exit code; empty when it ended on its own.
abnormal_end() {
    case $1 in
        124 | 137) echo "did not finish within 120 s" ;;
        5) echo "crashed (exit code 5; the backtrace is above)" ;;
    esac
}

# Stops only this prefix's server; it saves the registry as it ends, so it
# must be gone before the folder is removed.
remove_wine_prefix() {
    if [[ -d $work/prefix ]]; then
        WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
        WINEPREFIX=$work/prefix wineserver -w 2>/dev/null || true
    fi
    rm -rf "$work"
}

make_wine_prefix() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-$1.XXXXXX")
    trap remove_wine_prefix EXIT
    trap 'exit 130' INT TERM HUP
    export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
    # No .NET or browser engine to install (and so no download); no menu
    # entries written into the user's desktop.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export HOME=$work/home
    unset XDG_DOCUMENTS_DIR XDG_CONFIG_HOME WAYLAND_DISPLAY TARVIK_DATA_DIR
    mkdir -p "$HOME/Documents"
    timeout -k 5 120 wineboot -i >"$work/wineboot.log" 2>&1 || {
        cat "$work/wineboot.log" >&2
        die "wineboot could not create the prefix"
    }
    timeout -k 5 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >"$work/reg.log" 2>&1 || {
        cat "$work/reg.log" >&2
        die "could not turn off Wine's crash dialog"
    }
    # Without a window manager an unmanaged window closes at once instead
    # of after a two-second wait.
    timeout -k 5 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$work/reg.log" 2>&1 ||
        die "could not set Wine's window management"
}
