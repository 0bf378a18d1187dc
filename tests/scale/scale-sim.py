#!/usr/bin/env python3
"""A scale on a pseudo-terminal, for the port reader's tests.

Speaks the polled protocol (answers "SI", "T" and "Z") or the continuous stream (a line
every 100 ms). The tty is reached through a symbolic link that stays the same across
unplugging and plugging back in, so Wine's COM port mapping can point at it.

It is driven through a control file that the test rewrites whole (write a copy, then
rename it over the old one). Its one line holds space-separated key=value pairs:
  seq=N                 a new N applies the rest of the line
  protocol=polled|continuous
  weight=123.45         the number the scale shows, as text
  unit=g                kg, oz, ... as the scale prints it
  stable=1|0
  overload=1|0
  mute=1|0              plugged in but sends nothing
  pour=1|0              the stream's weight rises by 0.01 with every line
  plugged=1|0           0 closes the tty as a USB scale does when pulled out
Missing keys keep their value. Once a line is applied the simulator acknowledges it in
<control>.ack, rewritten whole as "seq=N sent=M": M counts the lines sent since, so a
test can wait for the line to take effect and for readings to have gone out. The script
ends when the control file says quit=1 or on SIGTERM. With --log, every line sent is
logged as "<CLOCK_REALTIME ns> <hundredths>" (the latency benchmark's start times).
"""
import argparse
import os
import select
import signal
import sys
import time
import tty

STREAM_PERIOD = 0.1
CONTROL_POLL = 0.02


class Scale:
    def __init__(self, link, log, ack):
        self.link = link
        self.log = log
        self.ack = ack
        self.seq = None
        self.sent = 0
        self.master = self.slave = None
        self.state = {"protocol": "polled", "weight": "0.00", "unit": "g", "stable": "1",
                      "overload": "0", "mute": "0", "plugged": "1", "pour": "0"}
        self.pending = b""
        self.last_stream = 0.0

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

    def send(self, line):
        if self.master is not None and self.state["mute"] != "1":
            try:
                os.write(self.master, line.encode("ascii") + b"\r\n")
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

    def polled_reply(self):
        if self.state["overload"] == "1":
            return "S +"
        mark = "S" if self.state["stable"] == "1" else "D"
        return f"S {mark} {self.weight_text(10)} {self.state['unit']}"

    def stream_line(self):
        if self.state["overload"] == "1":
            return "OL,GS,+9999999E+19"
        header = "ST" if self.state["stable"] == "1" else "US"
        weight = self.state["weight"]
        sign = "-" if weight.startswith("-") else "+"
        return f"{header},GS,{sign}{weight.lstrip('+-').zfill(8)} {self.state['unit'].rjust(3)}"

    def on_command(self, command):
        if self.state["protocol"] != "polled" and command not in ("T", "Z"):
            return
        if command == "SI":
            self.send(self.polled_reply())
        elif command in ("T", "Z"):
            self.state["weight"] = "0.00"
            if self.state["protocol"] == "polled":
                self.send("T S " + self.weight_text(10) + " g" if command == "T" else "Z A")

    def read_commands(self, timeout):
        if self.master is None:
            time.sleep(timeout)
            return
        ready, _, _ = select.select([self.master], [], [], timeout)
        if not ready:
            return
        try:
            self.pending += os.read(self.master, 256)
        except OSError:
            return  # the other side closed its end; it may open it again
        while True:
            ends = [i for i in (self.pending.find(b"\r"), self.pending.find(b"\n")) if i >= 0]
            if not ends:
                break
            end = min(ends)
            command = self.pending[:end].decode("ascii", "replace").strip()
            self.pending = self.pending[end + 1:]
            if command:
                self.on_command(command)

    def tick(self, now):
        if self.state["protocol"] == "continuous" and now - self.last_stream >= STREAM_PERIOD:
            self.last_stream = now
            if self.state["pour"] == "1":
                self.state["weight"] = f"{float(self.state['weight']) + 0.01:.2f}"
            self.send(self.stream_line())


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
    args = parser.parse_args()

    log = open(args.log, "a", encoding="ascii") if args.log else None
    scale = Scale(args.link, log, args.control + ".ack")
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
