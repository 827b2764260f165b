#!/usr/bin/env python3
"""Writes a seed for the Zmodem receiver fuzz target: a sender's side of a
one-file session after ZRINIT (ZFILE, ZDATA with three subpacket kinds, ZEOF,
ZFIN, "OO"), with CRC-32 binary headers as a sender uses after ZRINIT 0x27."""
import struct
import sys
import zlib

ZDLE = 0x18
ESCAPED = {13, 16, 17, 19, 24, 141, 144, 145, 147}


def esc(data):
    out = bytearray()
    for b in data:
        if b in ESCAPED:
            out += bytes([ZDLE, b ^ 0x40])
        else:
            out.append(b)
    return bytes(out)


def crc16(data):
    crc = 0
    for b in data:
        crc ^= b << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else crc << 1
            crc &= 0xFFFF
    return crc


def hex_header(kind, data=b"\0\0\0\0"):
    body = bytes([kind]) + data
    c = crc16(body)
    return b"**\x18B" + (body + bytes([c >> 8, c & 0xFF])).hex().encode() + b"\r\n\x11"


def bin_header(kind, data):
    body = bytes([kind]) + data
    return b"*\x18C" + esc(body + struct.pack("<I", zlib.crc32(body)))


def subpacket(data, end):
    return esc(data) + bytes([ZDLE, end]) + esc(struct.pack("<I", zlib.crc32(data + bytes([end]))))


payload = bytes(range(256)) * 3
stream = b""  # a sender that already heard ZRINIT starts with ZFILE
stream += bin_header(4, b"\0\0\0\0") + subpacket(b"JOB1.CRD\0" + b"768 0 0\0", ord("k"))
stream += bin_header(10, struct.pack("<I", 0))
stream += subpacket(payload[:256], ord("i")) + subpacket(payload[256:512], ord("j"))
stream += subpacket(payload[512:], ord("h"))
stream += bin_header(11, struct.pack("<I", len(payload)))
stream += hex_header(8) + b"OO"
sys.stdout.buffer.write(stream)
