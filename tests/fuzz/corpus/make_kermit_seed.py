#!/usr/bin/env python3
"""Writes a seed for the Kermit receiver fuzz target: a sender's side of a
one-file session (S, F, A, D with control prefixes and a repeat run, Z, B)
with type-1 checks, as a Kermit sender using the classic parameters sends it."""
import sys


def tochar(x):
    return chr(x + 32)


def packet(kind, seq, data):
    body = tochar(len(data) + 3) + tochar(seq % 64) + kind + data
    s = sum(body.encode("latin-1"))
    check = tochar((s + ((s & 192) // 64)) & 63)
    return ("\x01" + body + check + "\r").encode("latin-1")


stream = packet("S", 0, "~> @-#N1~(")
stream += packet("F", 1, "JOB1.CRD")
stream += packet("A", 2, "#" + tochar(17) + "20050704 13:14:15" + "1" + tochar(10) + "0000000020")
stream += packet("D", 3, "1001,5000.0#M#J" + "~" + tochar(5) + "x" + "##")
stream += packet("Z", 4, "")
stream += packet("B", 5, "")
sys.stdout.buffer.write(stream)
