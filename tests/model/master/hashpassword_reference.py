#!/usr/bin/env python3
"""Reference values of the master password hash for tst_passworddialogs.

Written from the algorithm's description alone and run once; the constants it
prints are pinned in the test. Each character is taken as its UTF-16 code
units (a character outside the basic plane gives two), and only the low byte
of each unit is mixed in.
"""

MASK = (1 << 64) - 1
SALT = 0x2B7D4E19
MULTIPLIER = 0x9E3779CD


def utf16_units(text):
    data = text.encode("utf-16-le")
    return [data[i] | (data[i + 1] << 8) for i in range(0, len(data), 2)]


def hash_password(text, start=0):
    h = (start ^ SALT) & MASK
    for unit in utf16_units(text):
        b = unit & 0xFF
        m = (b * MULTIPLIER) & MASK
        h = (h + (m ^ (h >> 23))) & MASK
    return h ^ ((h << 37) & MASK)


CASES = [
    ("", "empty"),
    ("a", "one letter"),
    ("password", "ASCII word"),
    ("Password123!", "mixed ASCII"),
    ("ab", "order 1"),
    ("ba", "order 2"),
    ("\u043f\u0430\u0440\u043e\u043b\u044c", "Cyrillic"),
    ("\u003f\u0030\u0040\u003e\u003b\u004c", "low bytes of the Cyrillic word"),
    ("\u00e9t\u00e9", "Latin-1"),
    ("\u0100", "U+0100, low byte 0"),
    ("\U0001F511", "outside the basic plane: two units"),
    ("x" * 40, "long"),
]

if __name__ == "__main__":
    for text, what in CASES:
        units = ", ".join("0x%04X" % u for u in utf16_units(text))
        print("%-36s units [%s]\n    0x%016X" % (what, units, hash_password(text)))
    print("start 0x1234 on 'a': 0x%016X" % hash_password("a", 0x1234))
    print("start 0xFFFFFFFFFFFFFFFF on 'password': 0x%016X" % hash_password("password", MASK))
