# A throw-away Wine prefix for the Windows checks; sourced by
# scripts/windows-check.sh and scripts/installer-check.sh, which provide
# die(). Decide DISPLAY before calling: a prefix first started without one
# cannot open windows later.
#
# make_wine_prefix NAME makes $work, a temporary folder removed at exit,
# holding the 64-bit prefix ($WINEPREFIX) and a home of its own ($HOME, with
# a Documents folder): Wine links the prefix's Documents and Desktop to the
# home (or to the caller's XDG folders) when it makes the prefix, so nothing
# a check installs or writes reaches the user's files.

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
