#!/bin/bash
# Cross-checks the key object with Wine's own `reg` tool in the same prefix:
# what regprobe writes, `wine reg query` must see; what `wine reg add` stores,
# regprobe must read.
set -u
probe=$1
root='Software\LacqueronTests\RegQueryCheck'
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Prints the type and data columns of one value, e.g. "REG_DWORD 0xfffffffb".
query() {
  wine reg query "HKCU\\$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { $1 = ""; sub(/^ +/, ""); print }'
}

expect_query() {
  local got
  got=$(query "$1" "$2")
  [[ "$got" == "$3" ]] || fail "reg query $1 $2: got '$got', want '$3'"
}

expect_probe() {
  local got
  got=$(wine "$probe" read "$1" "$2" | tr -d '\r')
  [[ "$got" == "$3" ]] || fail "regprobe read $1 $2: got '$got', want '$3'"
}

wine reg delete "HKCU\\Software\\LacqueronTests\\RegQueryCheck" /f >/dev/null 2>&1

# Mixed separators create the whole chain.
wine "$probe" write 'Software/LacqueronTests\RegQueryCheck/Values' || fail "regprobe write"
expect_query "$root\\Values" Dword "REG_DWORD 0xfffffffb"
expect_query "$root\\Values" Text "REG_SZ Paint mix"
expect_query "$root\\Values" Tag4 "REG_BINARY 0501020304"
expect_query "$root\\Values" Tag8 "REG_BINARY 041020304050607080"
expect_query "$root\\Values" Blob "REG_BINARY AABBCC"

# Values stored by another writer.
wine reg add "HKCU\\$root\\Stored" /v TargetWeight /t REG_SZ /d 250 /f >/dev/null
wine reg add "HKCU\\$root\\Stored" /v Purpose /t REG_DWORD /d 4 /f >/dev/null
wine reg add "HKCU\\$root\\Stored" /v Wrong /t REG_BINARY /d 0601020304 /f >/dev/null
wine reg add "HKCU\\$root\\Stored" /v Right /t REG_BINARY /d 0501020304 /f >/dev/null
wine reg add "HKCU\\$root\\Stored" /v Expand /t REG_EXPAND_SZ /d x /f >/dev/null
expect_probe "$root\\Stored" TargetWeight "kind=2 dword=-"
expect_probe "$root\\Stored" Purpose "kind=1 dword=4"
expect_probe "$root\\Stored" Wrong "kind=3 dword=-"
expect_probe "$root\\Stored" Right "kind=5 dword=-"
expect_probe "$root\\Stored" Expand "kind=0 dword=-"
expect_probe "$root\\Stored" Missing "kind=0 dword=-"

# Recursive delete, seen from the outside.
wine reg add "HKCU\\$root\\Tree\\A\\B" /v V /t REG_DWORD /d 1 /f >/dev/null
wine "$probe" delete "$root" Tree || fail "regprobe delete"
if wine reg query "HKCU\\$root\\Tree" >/dev/null 2>&1; then fail "Tree still exists"; fi

wine reg delete "HKCU\\Software\\LacqueronTests\\RegQueryCheck" /f >/dev/null 2>&1
if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all reg query checks passed"
