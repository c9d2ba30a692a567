#!/usr/bin/env python3
"""Sits on the line between a program and the virtual card and records every
byte the program sends, so that two sends can be compared byte for byte.

  line-tap.py pty DEVICE RECORD   a new pseudo-terminal for the program (its
                                  path printed on the first line), relayed to
                                  the card's serial DEVICE
  line-tap.py tcp HOST:PORT RECORD  a TCP port on 127.0.0.1 for the program
                                  (tcp://127.0.0.1:N printed on the first
                                  line), relayed to the card's TCP face

The program's bytes are appended to RECORD as they pass; the card's replies
pass unrecorded. Runs until it is terminated.
"""
import os
import pty
import select
import signal
import socket
import sys
import termios
import tty


def raw(fd):
    tty.setraw(fd)
    attrs = termios.tcgetattr(fd)
    attrs[4] = attrs[5] = termios.B57600
    termios.tcsetattr(fd, termios.TCSANOW, attrs)


def relay(program_read, program_write, card_read, card_write, program_fd, card_fd, record):
    """Moves bytes both ways until either side closes; False when the
    program's side closed (a new connection may follow)."""
    while True:
        ready, _, _ = select.select([program_fd, card_fd], [], [])
        if program_fd in ready:
            try:
                data = program_read()
            except OSError:
                data = b""
            if not data:
                return False
            record.write(data)
            record.flush()
            card_write(data)
        if card_fd in ready:
            data = card_read()
            if not data:
                return True
            program_write(data)


def tap_pty(device, record):
    master, slave = pty.openpty()
    raw(slave)
    card = os.open(device, os.O_RDWR | os.O_NOCTTY)
    raw(card)
    print(os.ttyname(slave), flush=True)
    while True:
        # A pseudo-terminal's master reads fail (EIO) while no program holds
        # the other end; wait for one.
        try:
            relay(lambda: os.read(master, 4096), lambda d: os.write(master, d),
                  lambda: os.read(card, 4096), lambda d: os.write(card, d),
                  master, card, record)
        except OSError:
            pass
        select.select([], [], [], 0.05)


def tap_tcp(target, record):
    host, port = target.split("://", 1)[-1].rsplit(":", 1)
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(1)
    print("tcp://127.0.0.1:%d" % server.getsockname()[1], flush=True)
    while True:
        program, _ = server.accept()
        card = socket.create_connection((host, int(port)))
        for s in (program, card):
            s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        relay(lambda: program.recv(4096), program.sendall, lambda: card.recv(4096), card.sendall,
              program, card, record)
        program.close()
        card.close()


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("pty", "tcp"):
        sys.exit(__doc__)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    with open(sys.argv[3], "ab") as record:
        (tap_pty if sys.argv[1] == "pty" else tap_tcp)(sys.argv[2], record)


if __name__ == "__main__":
    main()
