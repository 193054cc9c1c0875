#!/usr/bin/env python3
"""Peak memory of opening a big mail: writes a 200 MB .eml whose base64 TNEF part holds a
150 MB stream (one attachment), then runs velquin-tnef show, list and extract on it under
/usr/bin/time. The part is decoded once into a private temporary file, so the peak stays
far below the part's size (the goal: under 64 MB).

Usage: bench/mail/big-mail.py VELQUIN_TNEF [DIR]   (DIR default: a folder under /dev/shm)
"""
import base64
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ATTACHMENT = 150 * 1000 * 1000


def attribute(level, ident, data):
    return struct.pack("<BII", level, ident, len(data)) + data + struct.pack("<H", sum(data) & 0xFFFF)


def write_tnef_base64(out):
    """Streams a TNEF file (subject, one ATTACHMENT-byte attachment) as base64 lines."""
    pending = bytearray()

    def emit(data):
        pending.extend(data)
        cut = len(pending) - len(pending) % 57
        for i in range(0, cut, 57):
            out.write(base64.b64encode(bytes(pending[i:i + 57])) + b"\n")
        del pending[:cut]

    emit(struct.pack("<IH", 0x223E9F78, 1))
    emit(attribute(1, 0x00089006, struct.pack("<I", 0x00010000)))      # attTnefVersion
    emit(attribute(1, 0x00018004, b"A big winmail.dat\0"))             # attSubject
    emit(attribute(2, 0x00069002, bytes(14)))                          # attAttachRendData
    emit(attribute(2, 0x00018010, b"big.bin\0"))                       # attAttachTitle
    chunk = bytes((i * 7 + 3) & 0xFF for i in range(1 << 20))
    header = struct.pack("<BII", 2, 0x0006800F, ATTACHMENT)            # attAttachData
    emit(header)
    checksum, left = 0, ATTACHMENT
    chunk_sum = sum(chunk)
    while left:
        piece = chunk if left >= len(chunk) else chunk[:left]
        checksum += chunk_sum if piece is chunk else sum(piece)
        emit(piece)
        left -= len(piece)
    emit(struct.pack("<H", checksum & 0xFFFF))
    out.write(base64.b64encode(bytes(pending)) + b"\n")


def write_mail(path):
    with open(path, "wb") as out:
        out.write(b"From: Big Sender <big@example.org>\nTo: someone@example.org\nSubject: Big\n"
                  b"Date: Mon, 13 Nov 2017 08:01:13 -0500\nMIME-Version: 1.0\n"
                  b"Content-Type: multipart/mixed; boundary=\"b\"\n\n--b\nContent-Type: text/plain\n\nHi.\n"
                  b"--b\nContent-Type: application/ms-tnef; name=winmail.dat\n"
                  b"Content-Transfer-Encoding: base64\n\n")
        write_tnef_base64(out)
        out.write(b"--b--\n")


def peak(cmd):
    proc = subprocess.run(["/usr/bin/time", "-f", "%e %M %x"] + cmd, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True)
    seconds, kilobytes, status = proc.stderr.strip().splitlines()[-1].split()
    return float(seconds), int(kilobytes) / 1024, int(status)


def main():
    tool = sys.argv[1]
    base = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="velquin-mail-bench-", dir="/dev/shm")
    mail = os.path.join(base, "big.eml")
    if not os.path.exists(mail):
        write_mail(mail)
    print(f"{mail}: {os.path.getsize(mail) / 1e6:.1f} MB, TNEF part {ATTACHMENT / 1e6:.0f} MB of attachment")
    out = os.path.join(base, "out")
    worst = 0.0
    for name, cmd in (("show", [tool, "show", mail]), ("list", [tool, "list", mail]),
                      ("extract", [tool, "extract", mail, out, "--overwrite"])):
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        seconds, mb, status = peak(cmd)
        worst = max(worst, mb)
        print(f"velquin-tnef {name:8s} {seconds:7.2f} s {mb:8.1f} MB peak  (exit status {status})")
    shutil.rmtree(out, ignore_errors=True)
    print(f"peak memory {worst:.1f} MB  < 64 MB: {'yes' if worst < 64 else 'NO'}")
    return 0 if worst < 64 else 1


if __name__ == "__main__":
    sys.exit(main())
