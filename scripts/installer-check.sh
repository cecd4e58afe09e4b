#!/usr/bin/env bash
# Proves the Windows installer under Wine, in a throw-away prefix whose
# Documents folder is a temporary one:
#   a. a silent install puts Tarvik.dll into the chosen VST folder and the
#      data folder, byte for byte as the build made it, into Documents;
#   b. the installed plug-in, with no TARVIK_DATA_DIR, finds that data
#      folder: its editor draws the skin's panel and it plays the current
#      pattern of the factory patch it starts with;
#   c. a second install, into another VST folder, moves the plug-in there,
#      keeps the user's changed and added files and restores the program's
#      own; a third without a folder takes that VST folder again;
#   d. the silent uninstaller removes the plug-in, the program folder, the
#      menu and registry entries and the program's data files, and keeps the
#      user's.
# Each step prints "RESULT <step>: ok"; the first failure ends the run.
#
# Usage: scripts/installer-check.sh SETUP.exe DATA_FOLDER [WINDOWS_BUILD]
#   DATA_FOLDER    the native build's data folder the installer was made from
#   WINDOWS_BUILD  a cross build with the Windows test hosts (default: build-win)
# Needs an X display (run it under scripts/with-xvfb.sh), wine and wine64.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/wine-prefix.sh
source "$root/scripts/wine-prefix.sh"
usage="usage: $0 SETUP.exe DATA_FOLDER [WINDOWS_BUILD]"
[[ $# -ge 2 && $# -le 3 ]] || { echo "$usage" >&2; exit 2; }
setup=$(realpath -m "$1")
data=$(realpath -m "$2")
windows_build=$(realpath -m "${3:-$root/build-win}")
smoke_host=$windows_build/tests/windows/tarvik_smoke_host.exe
editor_host=$windows_build/tests/windows/tarvik_editor_smoke.exe

step=setup
die() {
    echo "RESULT $step: FAIL: $*"
    echo "installer-check: FAIL in step $step: $*" >&2
    exit 1
}
passed() { echo "RESULT $step: ok ($(seconds_since "$step_began"))"; }

script_began=${EPOCHREALTIME/./}
begin() {
    step=$1
    echo "== $step: $2"
    step_began=${EPOCHREALTIME/./}
}
# EPOCHREALTIME without its dot counts microseconds.
seconds_since() {
    local elapsed=$((${EPOCHREALTIME/./} - $1))
    printf '%d.%02d s' $((elapsed / 1000000)) $((elapsed % 1000000 / 10000))
}

[[ -f $setup ]] || die "no installer at $setup"
[[ -f $data/Tarvik.skn ]] || die "$data is not a data folder (no Tarvik.skn)"
[[ -f $smoke_host && -f $editor_host ]] ||
    die "no Windows test hosts in $windows_build/tests/windows (a cross build with tests on)"
[[ -n ${DISPLAY:-} ]] || die "no X display: run this under scripts/with-xvfb.sh"

# Fails unless the last run_wine ended on its own with code 0 (and, for the
# test hosts, with "RESULT ok").
expect_success() {
    local what=$1 verdict=${2:-} problem
    problem=$(abnormal_end "$status")
    if [[ -z $problem && $status -ne 0 ]]; then problem="exited with code $status"; fi
    if [[ -z $problem && -n $verdict && $last_line != "$verdict" ]]; then problem="did not end with '$verdict'"; fi
    if [[ -n $problem ]]; then
        [[ ! -s $work/$wine_label.err ]] || sed 's/^/   ! /' "$work/$wine_label.err" >&2
        die "$what $problem"
    fi
}

# Every file of the data folder the installer carries, relative to it: all
# but what a plug-in run leaves behind (MidiCC.ini, the last patch).
data_files() {
    (cd "$1" && find . -type f ! -path ./MidiCC.ini ! -path "./Tarvik Patch.tvkp" -printf '%P\n' | LC_ALL=C sort)
}

# Fails with the message $3 unless the file $2 is there with the bytes of $1.
same_file() {
    [[ -f $2 ]] || die "$3 is missing ($2)"
    cmp -s "$1" "$2" || die "$3 differs from what it should be ($1 vs $2)"
}

# ---------------------------------------------------------------------------
begin prefix "fresh Wine prefix with a Documents folder of its own"
make_wine_prefix installer

drive=$WINEPREFIX/drive_c
installed_data=$HOME/Documents/Sonvarde/Tarvik
vst_folder=$drive/VSTPlugins/Tarvik
moved_vst_folder=$drive/VST/Tarvik
program_folder="$drive/Program Files/Sonvarde/Tarvik"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvik'
settings_key='HKLM\Software\Sonvarde\Tarvik'
wine_user=$(find "$drive/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -printf '%f\n' | head -n 1)
[[ -n $wine_user ]] || die "the prefix has no user folder"
start_menu="$drive/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tarvik"
[[ $(realpath "$drive/users/$wine_user/Documents") == "$(realpath "$HOME/Documents")" ]] ||
    die "Wine's Documents is not $HOME/Documents"
mkdir -p "$drive/tarvik"
cp "$setup" "$drive/tarvik/Setup.exe"
cp "$smoke_host" "$editor_host" "$drive/tarvik/"
passed

# ---------------------------------------------------------------------------
begin install "silent install into C:\\VSTPlugins\\Tarvik"
# /D= must come last, its path unquoted.
run_wine install 'C:\tarvik\Setup.exe' /S '/D=C:\VSTPlugins\Tarvik'
expect_success "the installer"
[[ -f $vst_folder/Tarvik.dll ]] || die "no Tarvik.dll in C:\\VSTPlugins\\Tarvik"
for file in README.txt Uninstall.exe; do
    [[ -f $program_folder/$file ]] || die "no $file in C:\\Program Files\\Sonvarde\\Tarvik"
done
[[ ! -e $vst_folder/Uninstall.exe && ! -e $vst_folder/README.txt ]] || die "program files in the VST folder"
for link in "Tarvik README.lnk" "Tarvik data folder.lnk" "Uninstall Tarvik.lnk"; do
    [[ -f $start_menu/$link ]] || die "no start-menu entry '$link'"
done
# Every file of the build's data folder, no other, each byte for byte.
[[ -d $installed_data ]] || die "no data folder in Documents\\Sonvarde\\Tarvik"
diff <(data_files "$data") <(data_files "$installed_data") >"$work/data.diff" || {
    sed 's/^/   /' "$work/data.diff" >&2
    die "the installed data folder holds other files than $data (< build, > installed)"
}
count=0
while IFS= read -r file; do
    same_file "$data/$file" "$installed_data/$file" "the installed $file"
    count=$((count + 1))
done < <(data_files "$data")
echo "   $count data files installed as the build made them"
timeout -k 5 60 wine reg query "$uninstall_key" >"$work/registry.out" 2>&1 || die "no entry in the list of installed programs"
tr -d '\r' <"$work/registry.out" >"$work/registry.log"
for value in DisplayName DisplayVersion Publisher UninstallString QuietUninstallString InstallLocation EstimatedSize; do
    grep -q "^ *$value " "$work/registry.log" || die "the uninstall entry has no $value"
done
grep -q '^ *Publisher *REG_SZ *Sonvarde$' "$work/registry.log" || die "the publisher is not Sonvarde"
timeout -k 5 60 wine reg query "$settings_key" /v VstFolder >"$work/settings.out" 2>&1 || die "the VST folder is not remembered"
grep -q 'C:\\VSTPlugins\\Tarvik' "$work/settings.out" || die "the remembered VST folder is not C:\\VSTPlugins\\Tarvik"
passed

# ---------------------------------------------------------------------------
begin plays "the installed plug-in finds its data in Documents: editor and factory pattern"
# No TARVIK_DATA_DIR: the plug-in looks in the documents folder itself.
run_wine pattern 'C:\tarvik\tarvik_smoke_host.exe' --play-current-pattern 'C:\VSTPlugins\Tarvik\Tarvik.dll'
expect_success "the smoke host" "RESULT ok"
# StartupPatch.ini names the factory patch that must be playing.
grep -qx 'program: *Acid Line 1' "$work/pattern.log" || die "the plug-in did not start with the factory patch Acid Line 1"
run_wine editor 'C:\tarvik\tarvik_editor_smoke.exe' 'C:\VSTPlugins\Tarvik\Tarvik.dll' \
    "C:\\users\\$wine_user\\Documents\\Sonvarde\\Tarvik"
expect_success "the editor smoke host" "RESULT ok"
passed

# ---------------------------------------------------------------------------
begin reinstall "installs into another VST folder keep the user's files and restore the program's"
user_copies=$work/user
mkdir -p "$user_copies"
printf '%s\n' "MaxPolyphony = 3" >>"$installed_data/Config.ini"
cp "$installed_data/Config.ini" "$user_copies/Config.ini"
sed 's/Acid Line 1/My Bass/g' "$data/Tarvik Patches/Acid/Acid Line 1.tvkp" >"$installed_data/Tarvik Patches/My Bass.tvkp"
cp "$installed_data/Tarvik Patches/My Bass.tvkp" "$user_copies/My Bass.tvkp"
# A damaged file of the program's and a factory patch the user deleted: an
# install writes both again.
printf 'damaged' >"$installed_data/Tarvik Data/wtsaw.dat"
rm "$installed_data/Tarvik Patches/Acid/Acid Line 1.tvkp"
run_wine reinstall 'C:\tarvik\Setup.exe' /S '/D=C:\VST\Tarvik'
expect_success "the second install"
[[ -f $moved_vst_folder/Tarvik.dll ]] || die "no Tarvik.dll in the new VST folder C:\\VST\\Tarvik"
[[ ! -e $vst_folder ]] || die "the plug-in is left in the VST folder chosen before"
# Without /D= the folder chosen last is taken again.
run_wine remembered 'C:\tarvik\Setup.exe' /S
expect_success "the third install"
[[ -f $moved_vst_folder/Tarvik.dll && ! -e "$drive/Program Files/VSTPlugins" ]] ||
    die "an install without a folder did not take the VST folder chosen last"
same_file "$user_copies/Config.ini" "$installed_data/Config.ini" "the user's Config.ini after the second install"
same_file "$user_copies/My Bass.tvkp" "$installed_data/Tarvik Patches/My Bass.tvkp" \
    "the user's patch My Bass.tvkp after the second install"
same_file "$data/Tarvik Data/wtsaw.dat" "$installed_data/Tarvik Data/wtsaw.dat" "the damaged wavetable after the second install"
same_file "$data/Tarvik Patches/Acid/Acid Line 1.tvkp" "$installed_data/Tarvik Patches/Acid/Acid Line 1.tvkp" \
    "the deleted factory patch after the second install"
passed

# ---------------------------------------------------------------------------
begin uninstall "silent uninstall"
# Started plainly, an NSIS uninstaller copies itself to a temporary folder,
# starts the copy and returns at once; _?= makes it run in place until done.
# It then cannot delete itself (a running program's file), which is left to
# its caller, as the NSIS documentation says. _?= must be the last argument
# and unquoted although the path holds spaces, which Wine's own argument
# passing would quote: a batch file passes the line as written, and waits.
printf '%s\r\n' '"C:\Program Files\Sonvarde\Tarvik\Uninstall.exe" /S _?=C:\Program Files\Sonvarde\Tarvik' \
    >"$drive/tarvik/uninstall.bat"
run_wine uninstall cmd /c 'C:\tarvik\uninstall.bat'
expect_success "the uninstaller"
left=$(find "$program_folder" -mindepth 1 -printf '%P\n' 2>/dev/null || true)
[[ -z $left || $left == Uninstall.exe ]] || die "the uninstaller left in its program folder: ${left//$'\n'/, }"
rm -f "$program_folder/Uninstall.exe"
rmdir "$program_folder" "$(dirname "$program_folder")" 2>/dev/null || true
[[ ! -e $moved_vst_folder ]] || die "C:\\VST\\Tarvik (with Tarvik.dll) is still there"
[[ ! -e $start_menu ]] || die "the start-menu folder Tarvik is still there"
! timeout -k 5 60 wine reg query "$uninstall_key" >/dev/null 2>&1 || die "the list of installed programs still names Tarvik"
! timeout -k 5 60 wine reg query "$settings_key" >/dev/null 2>&1 || die "the registry still holds $settings_key"
for file in "Tarvik Skin" "Tarvik Data" Tarvik.skn splashscreen.png cordplug.png upscroll.png bunnybug.png; do
    [[ ! -e $installed_data/$file ]] || die "the program's $file is still in the data folder"
done
same_file "$user_copies/Config.ini" "$installed_data/Config.ini" "the user's Config.ini after the uninstall"
same_file "$user_copies/My Bass.tvkp" "$installed_data/Tarvik Patches/My Bass.tvkp" "the user's My Bass.tvkp after the uninstall"
[[ -f $installed_data/Gui.ini && -f $installed_data/StartupPatch.ini ]] || die "the user's Gui.ini or StartupPatch.ini is gone"
kept=0
while IFS= read -r file; do
    same_file "$data/$file" "$installed_data/$file" "the factory patch $file after the uninstall"
    kept=$((kept + 1))
done < <(data_files "$data" | grep '^Tarvik Patches/')
# What the plug-in wrote when it closed in step "plays" is the user's too.
for file in MidiCC.ini "Tarvik Patch.tvkp"; do
    [[ -f $installed_data/$file ]] || die "$file, written by the plug-in, is gone"
done
echo "   kept Config.ini, Gui.ini, StartupPatch.ini, MidiCC.ini, Tarvik Patch.tvkp, My Bass.tvkp and $kept factory patches"
passed

echo "installer-check: OK in $(seconds_since "$script_began")"
