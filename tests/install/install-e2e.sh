#!/bin/bash
# The installer end to end under Wine, one scenario per run, each in a fresh prefix:
#   install-e2e.sh <scenario> <Lacqueron-Setup-<version>.exe> <uidriver.exe> <linktarget.exe>
# keep-data    for all users: the uninstall entry, the Start-menu shortcuts followed to the
#              program and the guide, then an uninstall that leaves only the user's data
# delete-data  with the desktop shortcut, followed too; /DeleteData leaves nothing at all
# upgrade      for the current user into a chosen folder, then again over an older entry:
#              the same folder, one entry, updated; its own uninstall command leaves nothing
SETUP=$2
DRIVER=$3
LINKTARGET=$4
# settle waits for every Wine process of the prefix to end: uidriver runs once per call
# here, not as a server.
E2E_DRIVER_ONE_SHOT=1
source "$(dirname "$0")/../app/e2e-lib.sh"
# Shortcuts must not turn into menu entries of the machine running the test.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
e2e_start

NAME='Подбор красок ВЕЛМ'
VERSION=$(basename "$SETUP" .exe)
VERSION=${VERSION#Lacqueron-Setup-}
UNINSTALL_KEY='Software\Microsoft\Windows\CurrentVersion\Uninstall\Lacqueron'
SCRATCH=$(mktemp -d /tmp/lacqueron-install.XXXXXX)
trap 'e2e_cleanup; rm -rf "$SCRATCH"' EXIT

# The Unix path of a Windows environment variable's folder.
folder_of() { winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')" 2>/dev/null; }

# Waits until every Wine process has ended (the uninstaller runs on as a copy of itself)
# and the registry is written to the prefix's files.
settle() { wineserver -w; }

# Every registry key and every file of the prefix, one a line.
snapshot() {
  settle
  {
    sed -n 's/^\(\[.*\]\) [0-9]*$/\1/p' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg"
    (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -not -path './users/*/Temp*')
  } | sort >"$SCRATCH/$1"
}

# What the second snapshot has beyond the first.
added() { comm -13 "$SCRATCH/$1" "$SCRATCH/$2"; }

run_setup() {
  wine "$SETUP" /S "$@" || fail "the installer ended with $?"
  settle
}

# Runs the entry's QuietUninstallString, plus any extra switch.
# Reading the entry under a busy wineserver now and then gets nothing for a moment, so
# the command is read until it is there.
UNINSTALL_ENTRY_SECONDS=10
uninstall() {
  local command
  quiet_uninstall_read() { command=$(entry_value "$1" QuietUninstallString) && [[ -n $command ]]; }
  wait_for $UNINSTALL_ENTRY_SECONDS quiet_uninstall_read "$1"
  [[ $command =~ ^\"([^\"]+)\"\ (.*)$ ]] || { fail "QuietUninstallString is '$command'"; return; }
  wine "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]} "${@:2}" || fail "the uninstaller ended with $?"
  settle
}

# The uninstall entry under HKLM or HKCU as .reg text, empty when there is none.
entry() {
  rm -f "$SCRATCH/entry.reg"
  wine reg export "$1\\$UNINSTALL_KEY" "$(winepath -w "$SCRATCH/entry.reg")" /y >/dev/null 2>&1 || return 0
  iconv -f UTF-16 -t UTF-8 "$SCRATCH/entry.reg" | tr -d '\r'
}

# One value of the entry: a string unquoted, a DWORD as 0x<hex>.
entry_value() { entry "$1" | entry_field "$2"; }

# One value of an entry's text on stdin, as entry_value gives it.
entry_field() {
  awk -v name="\"$1\"" -F= '
    $1 == name { v = substr($0, length($1) + 2)
                 if (v ~ /^dword:/) { print "0x" substr(v, 7) }
                 else { gsub(/^"|"$/, "", v); gsub(/\\\\/, "\\", v); gsub(/\\"/, "\"", v); print v } }'
}

# The entry is read once, again while a busy wineserver gives it back empty, and every
# value is checked in that one reading.
expect_entry() {
  local root=$1 folder=$2 text
  entry_read() { text=$(entry "$root") && [[ -n $text ]]; }
  wait_for $UNINSTALL_ENTRY_SECONDS entry_read || { fail "no uninstall entry under $root"; return; }
  expect_equal "DisplayName" "$(entry_field DisplayName <<<"$text")" "$NAME"
  expect_equal "DisplayVersion" "$(entry_field DisplayVersion <<<"$text")" "$VERSION"
  expect_equal "Publisher" "$(entry_field Publisher <<<"$text")" "ВЕЛМ"
  expect_equal "DisplayIcon" "$(entry_field DisplayIcon <<<"$text")" "$folder\\Lacqueron.exe,0"
  expect_equal "InstallLocation" "$(entry_field InstallLocation <<<"$text")" "$folder"
  expect_equal "UninstallString" "$(entry_field UninstallString <<<"$text")" "\"$folder\\uninstall.exe\""
  expect_equal "QuietUninstallString" "$(entry_field QuietUninstallString <<<"$text")" "\"$folder\\uninstall.exe\" /S"
  local size
  size=$(entry_field EstimatedSize <<<"$text")
  ((size > 0)) || fail "EstimatedSize is '$size'"
}

# The link reads as the program in the folder, started in that folder, and the program is there.
expect_shortcut() {
  local link=$1 folder=$2
  [[ -f $link ]] || { fail "no shortcut $link"; return; }
  local read
  read=$(wine "$LINKTARGET" "$(winepath -w "$link")" | tr -d '\r')
  expect_equal "shortcut target and folder" "$read" "$folder\\Lacqueron.exe"$'\n'"$folder"
  [[ -f $(winepath -u "$folder\\Lacqueron.exe") ]] || fail "the shortcut's target is missing"
}

# Opens the link through the shell, as a click on it does, and closes the main window.
# start /wait has no process to wait for when the shell opens a link, so the program may
# still be saving as it ends: every Wine process of the prefix is waited for, or the
# program's last writes could land after the data the test adds next.
start_from_shortcut() {
  wine start /wait /unix "$1" &
  PROGRAM_PID=$!
  step "the main dialog did not appear" wait-dialog 343 30000
  step "could not press Закончить" wait-dialog 343 5000 press 1
  program_expect_exit 0
  settle
}

# Data of the other features beside the profile: recent colours, bench settings, the journal.
add_user_data() {
  wine reg add 'HKCU\Software\VELM\Lacqueron\1.0\Recent' /v Colours /t REG_MULTI_SZ /d 'RAL 3020' /f >/dev/null ||
    fatal "could not store the recent colours"
  wine reg add 'HKCU\Software\VELM\Lacqueron\1.0\Bench' /v Resolution /t REG_DWORD /d 10 /f >/dev/null ||
    fatal "could not store the bench settings"
  JOURNAL_FOLDER="$(folder_of LOCALAPPDATA)/Lacqueron"
  mkdir -p "$JOURNAL_FOLDER"
  echo "batch" >"$JOURNAL_FOLDER/journal"
}

machine_folder='C:\Program Files\Lacqueron'
menu_entry="$NAME/$NAME.lnk"

case $1 in
keep-data)
  snapshot before
  run_setup
  expect_entry HKLM "$machine_folder"
  [[ -z $(entry HKCU) ]] || fail "an uninstall entry under HKCU too"
  [[ ! -e "$(folder_of PUBLIC)/Desktop/$NAME.lnk" ]] || fail "a desktop shortcut without /Desktop"
  link="$(folder_of ProgramData)/Microsoft/Windows/Start Menu/Programs/$menu_entry"
  expect_shortcut "$link" "$machine_folder"
  guide=$(wine "$LINKTARGET" "$(winepath -w "$(dirname "$link")/Руководство.lnk")" | tr -d '\r' | head -1)
  expect_equal "the guide's shortcut" "$guide" "$machine_folder\\guide-ru.html"
  [[ -s $(winepath -u "$guide") ]] || fail "the guide is not installed"
  start_from_shortcut "$link"
  add_user_data
  uninstall HKLM
  snapshot after
  left=$(added before after | grep -v -e '^\[Software\\\\VELM' -e '/AppData/Local/Lacqueron')
  expect_equal "left behind besides the user's data" "$left" ""
  expect_reg TargetWeight "REG_DWORD 0x64"
  recent=$(wine reg query 'HKCU\Software\VELM\Lacqueron\1.0\Recent' /v Colours 2>&1) ||
    fail "recent colours gone: $recent"
  wine reg query 'HKCU\Software\VELM\Lacqueron\1.0\Bench' /v Resolution >/dev/null 2>&1 || fail "bench settings gone"
  [[ -f $JOURNAL_FOLDER/journal ]] || fail "the journal is gone"
  ;;
delete-data)
  snapshot before
  run_setup /Desktop
  link="$(folder_of PUBLIC)/Desktop/$NAME.lnk"
  expect_shortcut "$link" "$machine_folder"
  start_from_shortcut "$link"
  add_user_data
  uninstall HKLM /DeleteData
  snapshot after
  expect_equal "left behind" "$(added before after)" ""
  ;;
upgrade)
  # NSIS takes /D= unquoted only, so no space in it.
  chosen='C:\Paints'
  snapshot before
  run_setup /CurrentUser "/D=$chosen"
  # As an older version would have left it.
  wine reg add "HKCU\\$UNINSTALL_KEY" /v DisplayVersion /d 1.0.0 /f >/dev/null
  run_setup /CurrentUser
  expect_entry HKCU "$chosen"
  [[ -z $(entry HKLM) ]] || fail "an uninstall entry under HKLM too"
  [[ ! -e "$(folder_of LOCALAPPDATA)/Programs/Lacqueron" ]] || fail "a second copy in the default folder"
  expect_shortcut "$(folder_of APPDATA)/Microsoft/Windows/Start Menu/Programs/$menu_entry" "$chosen"
  uninstall HKCU
  snapshot after
  expect_equal "left behind" "$(added before after)" ""
  ;;
*)
  echo "unknown scenario $1"
  exit 2
  ;;
esac
e2e_finish
