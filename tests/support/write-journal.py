#!/usr/bin/env python3
"""Writes a journal of batches in the program's file format (journal/JournalFormat.h) but
independently of its writer: the seeds of the journal fuzzer, and the journal an
end-to-end test starts the program with.

    write-journal.py <path> <batches.json>

Each batch: time (UTC seconds), offset (minutes), code, name, purpose, unit, amount,
resolution, status (0 done, 1 abandoned), total, note, components [[name, recipe, poured]]
and corrections [[factor, total]]; weights in hundredths of a gram."""
import json
import struct
import sys
import zlib


def text(value):
    data = value.encode("utf-8")
    return struct.pack("<I", len(data)) + data


def payload(batch):
    out = struct.pack("<qi", batch["time"], batch["offset"]) + text(batch["code"]) + text(batch["name"])
    out += struct.pack("<IIiIBq", batch["purpose"], batch["unit"], batch["amount"], batch["resolution"],
                       batch["status"], batch["total"])
    out += text(batch["note"]) + struct.pack("<I", len(batch["components"]))
    for name, recipe, poured in batch["components"]:
        out += text(name) + struct.pack("<qq", recipe, poured)
    out += struct.pack("<I", len(batch["corrections"]))
    for factor, total in batch["corrections"]:
        out += struct.pack("<Iq", factor, total)
    return out


def frame(body):
    length = struct.pack("<I", len(body))
    return b"LQBR" + length + body + struct.pack("<I", zlib.crc32(length + body))


path, batches = sys.argv[1], json.load(open(sys.argv[2], encoding="utf-8"))
with open(path, "wb") as journal:
    journal.write(b"LQJOURNL" + struct.pack("<I", 1))
    for batch in batches:
        journal.write(frame(payload(batch)))
