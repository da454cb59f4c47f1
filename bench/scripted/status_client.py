#!/usr/bin/python3
"""The status sample as an engineer would script it with pyserial: for each of the seven steps a purge of
the receive queue, a sync (0x80, answered 0x90) and a register read; the position halves are read with the
position-read modifier and followed by the release read, each after its own sync.

Usage: status_client.py DEVICE SECONDS [PARITY]
PARITY is E (the electronics' line, the default) or N for the simulator's pseudo-terminal, which carries no
parity: the kernel may clear the parity bit of its settings, and the settings call then fails.
Prints one line: samples=N failures=F seconds=S
"""
import struct
import sys
import time

import serial

SYNC, ACK, READ = 0x80, 0x90, 0x51

# (register, modifier) of each read, grouped by step; a step's reads after the first follow a sync only.
STEPS = [[(0x92, 0)], [(0x42, 0)], [(0x32, 0)], [(0x34, 0)], [(0x02, 0)],
         [(0x85, 2), (0x86, 2), (0x84, 0)], [(0x3E, 0)]]


def checksum(data):
    return sum(data) & 0xFFFF


def request(register, modifier):
    address = (modifier << 24) | (register << 16)
    frame = bytes([SYNC, READ, 4, 4]) + struct.pack('<I', address)
    return frame + struct.pack('<H', checksum(frame))


REQUESTS = [[request(r, m) for r, m in step] for step in STEPS]


def sync(port):
    port.write(bytes([SYNC]))
    return port.read(1) == bytes([ACK])


def read(port, frame):
    port.write(frame)
    reply = port.read(8)
    if len(reply) != 8 or reply[0] != ACK:
        return None
    if struct.unpack('<H', reply[6:8])[0] != checksum(reply[:6]):
        return None
    return struct.unpack('<H', reply[4:6])[0]


def sample(port):
    for step in REQUESTS:
        port.reset_input_buffer()
        for frame in step:
            if not sync(port) or read(port, frame) is None:
                return False
    return True


def main():
    device, seconds = sys.argv[1], float(sys.argv[2])
    parity = sys.argv[3] if len(sys.argv) > 3 else serial.PARITY_EVEN
    port = serial.Serial(device, 38400, parity=parity, timeout=0.2)
    samples = failures = 0
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if sample(port):
            samples += 1
        else:
            failures += 1
    elapsed = time.monotonic() - start
    port.close()
    print(f"samples={samples} failures={failures} seconds={elapsed:.4f}")


if __name__ == '__main__':
    main()
