#!/usr/bin/env python3
"""A scale on a pseudo-terminal, for the port reader's tests.

Speaks every protocol the reader knows: polled (answers "SI", "T" and "Z"), continuous
(a line every 100 ms), escp (answers ESC P, tares on ESC T), legend (answers IP, SP when
stable, streams after CP or with stream=1, tares on T), marked (answers "SI", "T" and
"Z", the last two with a status) and prefixed (an S or U line every 100 ms). With a baud
rate set it speaks only at that rate, as a real scale does: while the port is set to
another rate, what it sends arrives as noise and what it is sent is not understood.
The tty is reached through a symbolic link that stays the same across unplugging and
plugging back in, so Wine's COM port mapping can point at it.

It is driven through a control file that the test rewrites whole (write a copy, then
rename it over the old one). Its one line holds space-separated key=value pairs:
  seq=N                 a new N applies the rest of the line
  protocol=polled|continuous|escp|legend|marked|prefixed
  baud=N                the only rate it speaks at; 0 for any (the default)
  weight=123.45         the number the scale shows, as text
  unit=g                kg, oz, ... as the scale prints it
  stable=1|0
  overload=1|0
  underload=1|0         below the zero range, where the protocol has a line for it
  stream=1|0            legend: send continuously, as after CP
  mute=1|0              plugged in but sends nothing
  pour=1|0              the stream's weight rises by 0.01 with every line
  plugged=1|0           0 closes the tty as a USB scale does when pulled out
Missing keys keep their value. Once a line is applied the simulator acknowledges it in
<control>.ack, rewritten whole as "seq=N sent=M": M counts the lines sent since, so a
test can wait for the line to take effect and for readings to have gone out. The script
ends when the control file says quit=1 or on SIGTERM. With --log, every line sent is
logged as "<CLOCK_REALTIME ns> <hundredths>" (the latency benchmark's start times).
--protocol, --baud and --stream set the state the scale starts in.
"""
import argparse
import os
import select
import signal
import sys
import termios
import time
import tty

STREAM_PERIOD = 0.1
CONTROL_POLL = 0.02
PROTOCOLS = ("polled", "continuous", "escp", "legend", "marked", "prefixed")
STREAMS = ("continuous", "prefixed")
ESC = 0x1b
# The commands that set the weight to zero, by protocol.
TARE_AND_ZERO = {"polled": ("T", "Z"), "continuous": ("T", "Z"), "escp": ("ESC T",), "legend": ("T",),
                 "marked": ("T", "Z"), "prefixed": ("T", "Z")}


class Scale:
    def __init__(self, link, log, ack, start):
        self.link = link
        self.log = log
        self.ack = ack
        self.seq = None
        self.sent = 0
        self.master = self.slave = None
        self.state = {"protocol": "polled", "baud": "0", "weight": "0.00", "unit": "g", "stable": "1",
                      "overload": "0", "underload": "0", "mute": "0", "plugged": "1", "pour": "0",
                      "stream": "0"}
        self.state.update(start)
        self.pending = b""
        self.last_stream = 0.0
        self.print_when_stable = False

    def plug(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        temporary = self.link + ".new"
        if os.path.lexists(temporary):
            os.unlink(temporary)
        os.symlink(os.ttyname(self.slave), temporary)
        os.replace(temporary, self.link)

    def unplug(self):
        if os.path.lexists(self.link):
            os.unlink(self.link)
        for fd in (self.master, self.slave):
            if fd is not None:
                os.close(fd)
        self.master = self.slave = None
        self.pending = b""

    def apply(self, changes):
        self.state.update(changes)
        plugged = self.state["plugged"] == "1"
        if plugged and self.master is None:
            self.plug()
        elif not plugged and self.master is not None:
            self.unplug()

    def rate_matches(self):
        """Whether the port is set to the rate the scale speaks at (any, when none is set)."""
        baud = int(self.state["baud"])
        if baud == 0 or self.slave is None:
            return True
        speed = getattr(termios, f"B{baud}", None)
        try:
            attributes = termios.tcgetattr(self.slave)
        except termios.error:
            return True
        return speed is not None and attributes[4] == speed and attributes[5] == speed

    def send(self, line):
        if self.master is not None and self.state["mute"] != "1":
            data = line.encode("ascii")
            if not self.rate_matches():
                # Bits read at the wrong rate: bytes that spell nothing, the line ends among them.
                data = bytes(0x80 | (b * 7 & 0x7f) for b in data)
            try:
                os.write(self.master, data + b"\r\n")
            except OSError:
                return  # nobody has the port open: the scale talks to no one
            if self.log:
                hundredths = round(float(self.state["weight"]) * 100)
                self.log.write(f"{time.time_ns()} {hundredths}\n")
                self.log.flush()
            self.sent += 1
            self.acknowledge()

    def acknowledge(self):
        temporary = self.ack + ".new"
        with open(temporary, "w", encoding="ascii") as f:
            f.write(f"seq={self.seq} sent={self.sent}\n")
        os.replace(temporary, self.ack)

    def weight_text(self, width):
        return self.state["weight"].rjust(width)

    def stable(self):
        return self.state["stable"] == "1"

    def signed_mass(self):
        weight = self.state["weight"]
        return ("-" if weight.startswith("-") else "+"), weight.lstrip("+-")

    def polled_reply(self):
        if self.state["overload"] == "1":
            return "S +"
        if self.state["underload"] == "1":
            return "S -"
        mark = "S" if self.stable() else "D"
        return f"S {mark} {self.weight_text(10)} {self.state['unit']}"

    def escp_line(self):
        if self.state["overload"] == "1":
            return " " + "H".rjust(9) + " " * 4
        if self.state["underload"] == "1":
            return "-" + "L".rjust(9) + " " * 4
        sign, mass = self.signed_mass()
        unit = self.state["unit"] if self.stable() else ""  # left out until it settles
        return f"{sign}{mass:>9} {unit:<3}"

    def range_word(self):
        if self.state["overload"] == "1":
            return "OL"
        return "UL" if self.state["underload"] == "1" else None

    def legend_line(self):
        word = self.range_word()
        if word:
            return word.rjust(12)
        return f"{self.state['weight']:>12} {self.state['unit']:<3} {' ' if self.stable() else '?'}".rstrip()

    def marked_line(self):
        sign, mass = self.signed_mass()
        marker = "^" if self.state["overload"] == "1" else "v" if self.state["underload"] == "1" else \
            " " if self.stable() else "?"
        return f"{marker} {sign}{mass:>9} {self.state['unit']:<3}"

    def prefixed_line(self):
        prefix = "S" if self.stable() else "U"
        word = self.range_word()
        return f"{prefix} {word.rjust(10)}" if word else f"{prefix} {self.weight_text(10)} {self.state['unit']}"

    def stream_line(self):
        if self.state["overload"] == "1":
            return "OL,GS,+9999999E+19"
        header = "ST" if self.state["stable"] == "1" else "US"
        weight = self.state["weight"]
        sign = "-" if weight.startswith("-") else "+"
        return f"{header},GS,{sign}{weight.lstrip('+-').zfill(8)} {self.state['unit'].rjust(3)}"

    def on_command(self, command):
        protocol = self.state["protocol"]
        if protocol == "polled" and command == "SI":
            self.send(self.polled_reply())
        elif protocol == "marked" and command == "SI":
            self.send(self.marked_line())
        elif protocol == "escp" and command == "ESC P":
            self.send(self.escp_line())
        elif protocol == "legend" and command in ("IP", "SP", "CP"):
            self.state["stream"] = "1" if command == "CP" else self.state["stream"]
            self.print_when_stable = command == "SP"
            if command == "IP":
                self.send(self.legend_line())
        elif command in TARE_AND_ZERO[protocol]:
            self.state["weight"] = "0.00"
            if protocol == "polled":
                self.send("T S " + self.weight_text(10) + " g" if command == "T" else "Z A")
            elif protocol == "marked":
                self.send("OK")

    def next_command(self):
        """The next whole command waiting, or None: ESC and a letter, or a line."""
        if self.pending[:1] == bytes([ESC]):
            if len(self.pending) < 2:
                return None
            command = "ESC " + chr(self.pending[1])
            self.pending = self.pending[2:]
            return command
        ends = [i for i in (self.pending.find(b"\r"), self.pending.find(b"\n"), self.pending.find(bytes([ESC])))
                if i >= 0]
        if not ends:
            return None
        end = min(ends)
        command = self.pending[:end].decode("ascii", "replace").strip()
        self.pending = self.pending[end + (self.pending[end] != ESC):]
        return command

    def read_commands(self, timeout):
        if self.master is None:
            time.sleep(timeout)
            return
        ready, _, _ = select.select([self.master], [], [], timeout)
        if not ready:
            return
        try:
            received = os.read(self.master, 256)
        except OSError:
            return  # the other side closed its end; it may open it again
        if not self.rate_matches():
            return  # sent at another rate: the scale cannot make it out
        self.pending += received
        while (command := self.next_command()) is not None:
            if command:
                self.on_command(command)

    def streaming(self):
        protocol = self.state["protocol"]
        return protocol in STREAMS or (protocol == "legend" and self.state["stream"] == "1")

    def tick(self, now):
        protocol = self.state["protocol"]
        if self.print_when_stable and self.stable():
            self.print_when_stable = False
            self.send(self.legend_line())
        if self.streaming() and now - self.last_stream >= STREAM_PERIOD:
            self.last_stream = now
            if self.state["pour"] == "1":
                self.state["weight"] = f"{float(self.state['weight']) + 0.01:.2f}"
            line = {"continuous": self.stream_line, "prefixed": self.prefixed_line, "legend": self.legend_line}
            self.send(line[protocol]())


def read_control(path):
    try:
        with open(path, encoding="ascii") as f:
            text = f.read()
    except OSError:
        return {}
    return dict(pair.split("=", 1) for pair in text.split() if "=" in pair)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--link", required=True, help="path of the symbolic link to the tty")
    parser.add_argument("--control", required=True, help="the control file")
    parser.add_argument("--log", help="log every line sent to this file")
    parser.add_argument("--protocol", choices=PROTOCOLS, default="polled", help="the protocol it starts with")
    parser.add_argument("--baud", type=int, default=0, help="the only rate it speaks at (default: any)")
    parser.add_argument("--stream", action="store_true", help="legend: start streaming, as after CP")
    args = parser.parse_args()

    log = open(args.log, "a", encoding="ascii") if args.log else None
    start = {"protocol": args.protocol, "baud": str(args.baud), "stream": "1" if args.stream else "0"}
    scale = Scale(args.link, log, args.control + ".ack", start)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    seq = None
    try:
        scale.apply({})
        while True:
            control = read_control(args.control)
            if control.get("seq") not in (None, seq):
                seq = control.pop("seq")
                if control.pop("quit", "0") == "1":
                    return
                scale.apply(control)
                scale.seq, scale.sent = seq, 0
                scale.acknowledge()
            scale.read_commands(CONTROL_POLL)
            scale.tick(time.monotonic())
    finally:
        scale.unplug()


if __name__ == "__main__":
    main()
