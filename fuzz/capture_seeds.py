#!/usr/bin/env python3
"""Captures an agent's real answers as seeds of snmp_answer_fuzzer.

Sends one SNMPv1 GET for each of the meter's objects (level, weighting, sysName,
sysLocation, and one the agent lacks) with the request id 0x5AA55AA5, the marker that the
fuzzer replaces by each request's id, and writes every answer to OUTDIR/PREFIX-N.ber.

    fuzz/capture_seeds.py PORT PREFIX OUTDIR

PORT is a UDP port on 127.0.0.1: a decimon-meter-sim or a private snmpd (community mivrol).
"""
import socket
import sys

MARKER_ID = bytes([0x5A, 0xA5, 0x5A, 0xA5])
OBJECTS = [
    "1.3.6.1.4.1.32473.1.1.1.6.0",
    "1.3.6.1.4.1.32473.1.1.2.1.0",
    "1.3.6.1.2.1.1.5.0",
    "1.3.6.1.2.1.1.6.0",
    "1.3.6.1.2.1.1.99.0",
]


def tlv(tag, content):
    length = len(content)
    if length < 0x80:
        head = bytes([length])
    else:
        octets = length.to_bytes((length.bit_length() + 7) // 8, "big")
        head = bytes([0x80 | len(octets)]) + octets
    return bytes([tag]) + head + content


def oid(dotted):
    arcs = [int(part) for part in dotted.split(".")]
    out = bytearray([40 * arcs[0] + arcs[1]])
    for arc in arcs[2:]:
        chunk = [arc & 0x7F]
        arc >>= 7
        while arc:
            chunk.insert(0, 0x80 | (arc & 0x7F))
            arc >>= 7
        out += bytes(chunk)
    return bytes(out)


def get_request(dotted):
    binding = tlv(0x30, tlv(0x06, oid(dotted)) + b"\x05\x00")
    pdu = tlv(0xA0, tlv(0x02, MARKER_ID) + b"\x02\x01\x00\x02\x01\x00" + tlv(0x30, binding))
    return tlv(0x30, b"\x02\x01\x00" + tlv(0x04, b"mivrol") + pdu)


def main():
    port, prefix, outdir = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
        sock.settimeout(2)
        for number, dotted in enumerate(OBJECTS, 1):
            sock.sendto(get_request(dotted), ("127.0.0.1", port))
            answer = sock.recv(65535)
            with open(f"{outdir}/{prefix}-{number}.ber", "wb") as seed:
                seed.write(answer)


if __name__ == "__main__":
    main()
