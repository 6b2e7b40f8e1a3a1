#!/usr/bin/env python3
"""Writes the hand-made PDFs of the reader's tests:
  image-only.pdf   a page that holds nothing but a picture, as a scan gives;
  object-bomb.pdf  an object stream that claims a billion objects, the page's font the last;
  crowded.pdf      one page of 250,000 tiny words, which takes poppler most of a minute;
  encrypted.pdf    a page of text that needs the password "secret" (made with qpdf).

    python3 make_malformed.py
"""
import os
import subprocess
import zlib

CATALOG = b"<< /Type /Catalog /Pages 2 0 R >>"
PAGES = b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>"
HELVETICA = b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"


def stream(dictionary, data):
    return b"<< %s /Length %d >>\nstream\n" % (dictionary, len(data)) + data + b"\nendstream"


def page(resources):
    return (b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << %s >> "
            b"/Contents 4 0 R >>" % resources)


def body_of(objects):
    out = bytearray(b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, part in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + part + b"\nendobj\n"
    return out, offsets


def write_pdf(name, objects):
    """Objects 1..n with a classic cross-reference table."""
    out, offsets = body_of(objects)
    start = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, start)
    with open(name, "wb") as f:
        f.write(out)


write_pdf("image-only.pdf", [
    CATALOG, PAGES, page(b"/XObject << /Im1 5 0 R >>"),
    stream(b"", b"q 595 0 0 842 0 0 cm /Im1 Do Q"),
    stream(b"/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceGray "
           b"/BitsPerComponent 8", b"\x00\xff\xff\x00")])

# Object 5 is an object stream that claims a billion objects; object 6 its last one, reached
# through a cross-reference stream (object 7).
out, offsets = body_of([
    CATALOG, PAGES, page(b"/Font << /F1 6 0 R >>"),
    stream(b"", b"BT /F1 12 Tf 72 720 Td (Hello) Tj ET"),
    stream(b"/Type /ObjStm /N 1000000000 /First 12", b"6 0         << /Type /Font >>")])
start = len(out)
rows = bytearray(b"\x00" + (0).to_bytes(4, "big") + (65535).to_bytes(4, "big"))
for offset in offsets:
    rows += b"\x01" + offset.to_bytes(4, "big") + (0).to_bytes(4, "big")
rows += b"\x02" + (5).to_bytes(4, "big") + (999999999).to_bytes(4, "big")
rows += b"\x01" + start.to_bytes(4, "big") + (0).to_bytes(4, "big")
out += (b"7 0 obj\n<< /Type /XRef /Size 8 /W [1 4 4] /Root 1 0 R /Length %d >>\nstream\n"
        % len(rows)) + rows + b"\nendstream\nendobj\nstartxref\n%d\n%%%%EOF\n" % start
with open("object-bomb.pdf", "wb") as f:
    f.write(out)

words = bytearray(b"BT /F1 2 Tf ")
for row in range(2500):
    words += b"1 0 0 1 10 %d Tm " % (10 + (row % 400) * 2) + b"(a) Tj 4 0 Td " * 100
words += b"ET"
write_pdf("crowded.pdf", [
    CATALOG, PAGES, page(b"/Font << /F1 5 0 R >>"),
    stream(b"/Filter /FlateDecode", zlib.compress(bytes(words), 9)), HELVETICA])

write_pdf("hello.pdf", [
    CATALOG, PAGES, page(b"/Font << /F1 5 0 R >>"),
    stream(b"", b"BT /F1 12 Tf 72 720 Td (Hello, world.) Tj ET"), HELVETICA])
subprocess.run(["qpdf", "--encrypt", "secret", "owner", "256", "--", "hello.pdf",
                "encrypted.pdf"], check=True)
os.remove("hello.pdf")
