#!/usr/bin/env python3
"""A simulated Arduino board that speaks Tressaly's board protocol, for trying the ARD_
functions without hardware and for the tests.

It answers on a UDP address and port (the board port a script gives ARD_UDP_Set_Port), and on
a serial line (a device such as one end of a socat pseudo-terminal pair) when one is named:

  digital_read:PIN;             -> NAME=VALUE                (pins start at 0)
  digital_write:PIN;VALUE;      -> no reply
  analog_read:PIN;COUNT;US;     -> NAME=V1;V2;...>>>         (one value when COUNT or US is 0)
  analog_write:PIN;VALUE;       -> no reply
  get_device_name:              -> <<<NAME=NAME>>>
  ping:                         -> <<<NAME/ADDRESS:pong>>>   (for broadcasts)
  echo:P1;P2;...                -> <<<NAME=P1,P2,...>>>
  add:A;B;...                   -> <<<NAME=A+B+...>>>
  anything else                 -> <<<NAME=unknown command CMD>>>

An analog pin reads 100 times its number plus the position in the series, unless analog_write
set it; --bad-analog-pin makes one pin answer a malformed series. "ready" is printed once the
board listens.

  python3 tools/board_simulator.py --address 127.0.0.2 --port 10002 [--name NodeMCU_01]
      [--broadcast 127.255.255.255] [--serial /path/to/pty] [--log requests.txt]
"""
import argparse
import os
import select
import socket
import sys
import termios
import tty


class Board:
    def __init__(self, name, address, bad_analog_pin, log=None):
        self.log = log
        self.name = name
        self.address = address
        self.bad_analog_pin = bad_analog_pin
        self.digital = {}
        self.analog = {}

    def analog_value(self, pin, k):
        return self.analog.get(pin, 100 * pin + k)

    def answer(self, request):
        """The reply text to one request, or None."""
        if self.log:
            with open(self.log, "a", encoding="utf-8") as f:
                f.write(request + "\n")
        command, _, rest = request.partition(":")
        params = [p for p in rest.split(";")][:-1] if rest.endswith(";") else rest.split(";") if rest else []
        number = lambda k: int(params[k]) if k < len(params) and params[k].lstrip("-").isdigit() else 0
        if command == "digital_read":
            return f"{self.name}={self.digital.get(number(0), 0)}"
        if command == "digital_write":
            self.digital[number(0)] = number(1)
            return None
        if command == "analog_write":
            self.analog[number(0)] = number(1)
            return None
        if command == "analog_read":
            pin, count, interval = number(0), number(1), number(2)
            if pin == self.bad_analog_pin:
                return f"{self.name}=1;2x;3>>>"
            if count == 0 or interval == 0:
                return f"{self.name}={self.analog_value(pin, 0)}>>>"
            return f"{self.name}=" + ";".join(str(self.analog_value(pin, k)) for k in range(count)) + ">>>"
        if command == "get_device_name":
            return f"<<<{self.name}={self.name}>>>"
        if command == "ping":
            return f"<<<{self.name}/{self.address}:pong>>>"
        if command == "echo":
            return f"<<<{self.name}={','.join(params)}>>>"
        if command == "add":
            return f"<<<{self.name}={sum(number(k) for k in range(len(params)))}>>>"
        return f"<<<{self.name}=unknown command {command}>>>"


def bound_socket(address, port, share):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    if share:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind((address, port))
    return s


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--address", default="127.0.0.2")
    parser.add_argument("--port", type=int, default=10002)
    parser.add_argument("--name", default="NodeMCU_01")
    parser.add_argument("--broadcast", help="also answer broadcasts sent to this address")
    parser.add_argument("--serial", help="also answer on this serial device")
    parser.add_argument("--bad-analog-pin", type=int, default=-1)
    parser.add_argument("--log", help="append every request received to this file, one a line")
    args = parser.parse_args()

    board = Board(args.name, args.address, args.bad_analog_pin, args.log)
    unicast = bound_socket(args.address, args.port, share=True)
    readers = [unicast]
    if args.broadcast:
        readers.append(bound_socket(args.broadcast, args.port, share=True))
    serial = None
    if args.serial:
        serial = os.open(args.serial, os.O_RDWR | os.O_NOCTTY)
        if os.isatty(serial):
            tty.setraw(serial, termios.TCSANOW)
        readers.append(serial)
    print("ready", flush=True)

    pending = b""  # serial bytes of a request still arriving (requests have no terminator)
    while True:
        ready, _, _ = select.select(readers, [], [], 0.02 if pending else None)
        if not ready and pending:  # a pause on the line ends a serial request
            reply = board.answer(pending.decode("utf-8", "replace"))
            pending = b""
            if reply is not None:
                os.write(serial, reply.encode("utf-8"))
            continue
        for r in ready:
            if r == serial:
                try:
                    pending += os.read(serial, 1024)
                except OSError:  # the other end of the line closed; it may open again
                    pending = b""
                continue
            data, sender = r.recvfrom(65536)
            reply = board.answer(data.decode("latin-1"))
            if reply is not None:
                unicast.sendto(reply.encode("latin-1", "replace"), sender)


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit(0)
