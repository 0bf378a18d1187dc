#!/usr/bin/env bash
# The port reader end to end: the simulated scale on a pseudo-terminal, mapped to a COM
# port through Wine's HKLM\Software\Wine\Ports, read by the Windows test program.
# Usage: port-e2e.sh SCALE_PORT_TEST_EXE
source "$(dirname "$0")/scale-bed.sh"
scale_bed_start
LACQUERON_SCALE_PORT=$SCALE_BED_PORT LACQUERON_SCALE_CONTROL=$SCALE_BED_CONTROL wine "$1"
