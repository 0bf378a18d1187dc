#!/usr/bin/env bash
# The locked program from outside: the prompt over the visible, disabled main dialog and
# a wrong password; after the refusal the program still ends through its shutdown, with
# exit code 0 and the profile values stored. Escape and the right password are the
# password dialog's own tests (tests/ui/password).
#
#   password-e2e.sh <LacqueronLocked.exe> <uidriver.exe>
PROGRAM=$1
DRIVER=$2
source "$(dirname "$0")/../app/e2e-lib.sh"
e2e_start

# Known stored values, one of them missing: the shutdown must write it.
set_reg TargetWeight REG_DWORD 250
set_reg WeightType REG_DWORD 2
delete_reg Purpose

# A wrong password: the error box, then the whole shutdown.
program_start
step "the prompt did not appear" wait-dialog 103 30000
expect_equal "main dialog visible and disabled behind the prompt" \
  "$(driver wait-dialog 343 5000 is-visible 0 is-enabled 0 | tr '\n' ' ')" "1 0 "
expect_equal "help button" "$(driver wait-dialog 103 5000 is-enabled 9)" "0"
step "could not enter a wrong password" wait-dialog 103 5000 set-text 103 'замок 7' press 1 wait-gone 10000
box=$(driver wait-window '#32770' 'Ошибка' 10000 get-text 0 get-text 65535 press 1 wait-gone 10000) ||
  fatal "no refusal box that OK closes"
expect_equal "refusal box" "$box" $'Ошибка\nНеправильный пароль. В доступе отказано.'
program_expect_exit 0
expect_reg Purpose "REG_DWORD 0x1"
expect_reg TargetWeight "REG_DWORD 0xfa"
expect_reg WeightType "REG_DWORD 0x2"
e2e_finish
