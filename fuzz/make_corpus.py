#!/usr/bin/env python3
"""Writes the seeds that are not plain text: property lists, permission
databases and icon files, into corpus/<target>/.

The seeds are committed; run this again only to regenerate them. Text seeds
(the other targets) are edited by hand. Inputs that libFuzzer finds worth
keeping, and crash reproducers, are added beside them.
"""
import os
import plistlib
import sqlite3
import struct
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")
CAP = 256 * 1024


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def bplist(objects, top=0, ref_size=None, offset_size=None, count_override=None):
    """A binary property list from already encoded objects, references given by index."""
    ref_size = ref_size or (1 if len(objects) < 256 else 2 if len(objects) < 65536 else 4)
    body = b"bplist00"
    offsets = []
    for obj in objects:
        offsets.append(len(body))
        body += obj(ref_size) if callable(obj) else obj
    table_at = len(body)
    offset_size = offset_size or (1 if table_at < 256 else 2 if table_at < 65536 else 4)
    fmt = {1: ">B", 2: ">H", 4: ">I", 8: ">Q"}[offset_size]
    for off in offsets:
        body += struct.pack(fmt, off)
    count = len(objects) if count_override is None else count_override
    body += b"\0" * 6 + bytes([offset_size, ref_size]) + struct.pack(">QQQ", count, top, table_at)
    return body


def ref(i, size):
    return i.to_bytes(size, "big")


def count_marker(kind, n):
    if n < 15:
        return bytes([kind | n])
    return bytes([kind | 0xF, 0x13]) + struct.pack(">Q", n) if n >= 2**32 else bytes([kind | 0xF, 0x12]) + struct.pack(">I", n)


def ascii_string(s):
    return count_marker(0x50, len(s)) + s


def array(refs):
    return lambda size: count_marker(0xA0, len(refs)) + b"".join(ref(r, size) for r in refs)


def dict_(keys, values):
    return lambda size: count_marker(0xD0, len(keys)) + b"".join(ref(r, size) for r in keys + values)


def plists():
    t = "plist"
    sample = {"CFBundleIdentifier": "com.example.app", "CFBundleName": "Example", "Count": 3,
              "Big": 2**63 - 1, "Negative": -5, "Ratio": 1.5, "On": True, "Blob": b"\0\1\2",
              "List": ["a", {"nested": "b"}], "Quote": "it's \"quoted\"\n-dash", "Unicode": "Caf\u00e9 \U0001F600"}
    put(t, "xml-dict.plist", plistlib.dumps(sample, fmt=plistlib.FMT_XML))
    binary = plistlib.dumps(sample, fmt=plistlib.FMT_BINARY)
    put(t, "binary-dict.plist", binary)
    for cut in (8, 9, 40, len(binary) // 2, len(binary) - 33, len(binary) - 1):
        put(t, "binary-truncated-%d.plist" % cut, binary[:cut])
    put(t, "xml-truncated.plist", plistlib.dumps(sample, fmt=plistlib.FMT_XML)[:200])
    put(t, "xml-array-top.plist", plistlib.dumps(["not", "a", "dict"], fmt=plistlib.FMT_XML))
    put(t, "binary-string-top.plist", bplist([ascii_string(b"alone")]))
    key = ascii_string(b"self")
    # A dictionary whose value is the dictionary itself, and an array inside itself.
    put(t, "binary-cycle-dict.plist", bplist([dict_([1], [0]), key]))
    put(t, "binary-cycle-array.plist", bplist([dict_([1], [2]), key, array([2])]))
    put(t, "binary-cycle-two.plist", bplist([dict_([1], [2]), key, array([3]), array([2, 1])]))
    # Shared (not cyclic) references: the same string many times.
    put(t, "binary-shared.plist", bplist([dict_([1, 2], [2, 2]), ascii_string(b"k"), array([1] * 14)]))
    # One array referenced fourteen times by the array above it, twelve levels
    # deep: a few hundred bytes that a parser would expand into 14**12 nodes.
    bomb = [dict_([1], [2]), key] + [array([i + 1] * 14) for i in range(2, 14)] + [b"\x10\x00"]
    put(t, "binary-reference-bomb.plist", bplist(bomb))
    # References and offsets that point outside the file.
    put(t, "binary-bad-ref.plist", bplist([dict_([1], [9]), key]))
    put(t, "binary-bad-top.plist", bplist([dict_([1], [1]), key], top=7))
    put(t, "binary-huge-count.plist", bplist([b"\xaf\x13" + struct.pack(">Q", 2**62), key]))
    put(t, "binary-object-count.plist", bplist([dict_([1], [1]), key], count_override=2**40))
    zero_refs = bytearray(bplist([dict_([1], [1]), key]))
    zero_refs[-25] = 0
    put(t, "binary-ref-size-zero.plist", bytes(zero_refs))
    # Invalid UTF-8 and a lone UTF-16 surrogate.
    put(t, "binary-bad-utf8.plist", bplist([dict_([1], [2]), key, ascii_string(b"\xc3\x28\xff\xfe")]))
    put(t, "binary-lone-surrogate.plist", bplist([dict_([1], [2]), key, b"\x61" + b"\xd8\x00"]))
    put(t, "xml-bad-utf8.plist", b'<?xml version="1.0"?><plist version="1.0"><dict><key>\xc3\x28</key><string>\xff\xfe</string></dict></plist>')
    put(t, "xml-entities.plist", '<?xml version="1.0"?><!DOCTYPE plist [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;">]><plist version="1.0"><dict><key>k</key><string>&b;&#0;&#xD800;&lt;</string><key>d</key><date>not a date</date><key>i</key><integer>99999999999999999999999</integer></dict></plist>')
    # Nesting: just inside the depth cap, past it, and as deep as the size cap allows.
    def nested_xml(depth):
        return ('<?xml version="1.0"?><plist version="1.0"><dict><key>k</key>' + "<array>" * depth
                + "</array>" * depth + "</dict></plist>")
    put(t, "xml-depth-500.plist", nested_xml(500))
    put(t, "xml-depth-600.plist", nested_xml(600))
    head = nested_xml(0)
    depth = (CAP - len(head)) // len("<array></array>")
    deep = nested_xml(depth)
    put(t, "xml-depth-size-cap.plist", deep)
    put(t, "xml-over-size-cap.plist", deep + " " * (CAP + 1 - len(deep)))
    # A chain of one-element arrays in binary form, filling the size cap.
    n = (CAP - 64) // 7
    objs = [dict_([1], [2]), key] + [array([i + 1]) for i in range(2, n)] + [array([])]
    put(t, "binary-depth-size-cap.plist", bplist(objs))
    # Our own store's shapes for the bounded read: a setting beside a long list and a too-deep key,
    # markup hidden in comments and character data, and unfinished markup.
    ids = "".join("\n\t\t<string>com.example.%04d</string>" % i for i in range(200))
    put(t, "xml-store-long-list.plist", '<?xml version="1.0"?><plist version="1.0"><dict><key>safeMode</key><false/>'
        '<key>ignoredBundleIDs</key><array>' + ids + '</array><key>deep</key>' + "<dict><key>k</key>" * 600
        + "<true/>" + "</dict>" * 600 + '<key>privacy.sentryEnabled</key><false/></dict></plist>')
    put(t, "xml-store-hidden-markup.plist", '<?xml version="1.0"?><!DOCTYPE plist [<!ENTITY a "<dict>">]><plist version="1.0">'
        '<dict><key a=">">x</key><array><!-- <array> --><string><![CDATA[</string></array>]]></string>' + ids
        + '</array><key>y</key><string>unfinished</dict></plist>')
    put(t, "xml-store-unfinished.plist", '<?xml version="1.0"?><plist version="1.0"><dict><key>ids</key><array>' + ids
        + '<string><!-- never closed')
    # A store behind declarations that hold store markup, some read otherwise by the parser; text
    # that does not read as it stands.
    decoy = "<plist><dict><key>safeMode</key><true/><key>ids</key><array><string>x</string>"
    store = ('<plist version="1.0"><dict><key>safeMode</key><false/><key>ids</key><array>' + ids
             + '</array></dict></plist>')
    put(t, "xml-store-doctype-literal.plist", '<?xml version="1.0"?><!DOCTYPE plist SYSTEM "' + decoy + '">' + store)
    put(t, "xml-store-doctype-subset.plist", '<?xml version="1.0"?><!DOCTYPE plist [<!ENTITY a "]"><!-- ]> -->'
        "<!ENTITY b '" + decoy + "'><?p ]> ?>] >" + store)
    put(t, "xml-store-doctype-single-quoted.plist", "<?xml version=\"1.0\"?><!DOCTYPE plist SYSTEM '" + decoy + "'>"
        + store)
    put(t, "xml-store-instruction-quotes.plist", '<?xml version="1.0"?><?p "?>' + decoy + '<?q "?>' + store)
    put(t, "xml-latin1.plist", b'<?xml version="1.0" encoding="ISO-8859-1"?><plist version="1.0"><dict>'
        b'<key>customAppLocations</key><array><string>/Applications/Caf\xe9</string></array></dict></plist>')
    put(t, "binary-string-with-nul.plist", bplist([dict_([1], [2]), key, ascii_string(b"a\x00b")]))


def permission_db():
    t = "permission_db"
    folder = os.path.join(CORPUS, t)
    os.makedirs(folder, exist_ok=True)
    def make(name, statements):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "db")
            db = sqlite3.connect(path)
            db.execute("PRAGMA page_size=512")
            for s in statements:
                db.execute(s)
            db.commit()
            db.execute("VACUUM")
            db.close()
            with open(path, "rb") as f:
                data = f.read()
        put(t, name, data)
        return data
    modern = make("modern.db", [
        "CREATE TABLE access (service TEXT NOT NULL, client TEXT NOT NULL, client_type INTEGER NOT NULL, "
        "auth_value INTEGER NOT NULL, auth_reason INTEGER, auth_version INTEGER, csreq BLOB, "
        "PRIMARY KEY (service, client, client_type))",
        "INSERT INTO access VALUES ('kTCCServiceCamera','com.example.gone',0,2,0,1,NULL)",
        "INSERT INTO access VALUES ('kTCCServiceMicrophone','com.example.gone',0,2,0,1,NULL)",
        "INSERT INTO access VALUES ('kTCCServiceCamera','com.example.installed',0,2,0,1,NULL)",
        "INSERT INTO access VALUES ('kTCCServiceCamera','com.apple.Terminal',0,2,0,1,NULL)",
        "INSERT INTO access VALUES ('kTCCServiceCamera','/usr/bin/tool',1,2,0,1,NULL)",
        "INSERT INTO access VALUES ('kTCCService|Odd','it''s \"x\"|y',0,2,0,1,NULL)",
        "INSERT INTO access VALUES (CAST(X'FFFE' AS TEXT),CAST(X'C328' AS TEXT),0,2,0,1,NULL)",
    ])
    make("legacy.db", [
        "CREATE TABLE access (service TEXT, client TEXT, client_type INTEGER, allowed INTEGER)",
        "INSERT INTO access VALUES ('kTCCServiceAccessibility','com.example.gone',0,1)",
        "INSERT INTO access VALUES (NULL,'com.example.null',0,1)",
        "INSERT INTO access VALUES (42,x'00ff',0,1)",
    ])
    make("no-table.db", ["CREATE TABLE other (x)"])
    make("view.db", ["CREATE TABLE t (service, client, client_type, auth_value)",
                     "INSERT INTO t VALUES ('s','com.example.view',0,2)",
                     "CREATE VIEW access AS SELECT * FROM t"])
    put(t, "truncated.db", modern[: len(modern) // 2])
    put(t, "header-only.db", modern[:100])
    put(t, "not-a-database.db", b"SQLite format 3\0" + b"\xff" * 200)
    put(t, "empty.db", b"")


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, depth=8, colour=6, pixel=b"\xff\0\0\xff", header_size=None):
    """A PNG of one colour; header_size puts other dimensions in its header than in its data."""
    row = b"\0" + pixel * width
    head_w, head_h = header_size or (width, height)
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", head_w, head_h, depth, colour, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(row * height, 9)) + png_chunk(b"IEND", b""))


def icns_block(kind, data, length=None):
    return kind + struct.pack(">I", 8 + len(data) if length is None else length) + data


def icns(*blocks, length=None):
    return icns_block(b"icns", b"".join(blocks), length)


def classic_rle(pixels):
    """One channel of a classic entry: runs of at most 130 equal bytes."""
    out = b""
    while pixels:
        n = min(pixels, 130)
        out += bytes([0x80 + n - 3, 0x40])
        pixels -= n
    return out


def icons():
    t = "icns"
    red = png(128, 128)
    put(t, "png-128.icns", icns(icns_block(b"ic07", red)))
    put(t, "png-16-32-48-64.icns", icns(*(icns_block(k, png(n, n)) for k, n in
                                          ((b"icp4", 16), (b"ic11", 32), (b"icp6", 64), (b"ic12", 64)))))
    put(t, "classic-is32-mask.icns", icns(icns_block(b"is32", b"\xff\0\0\xff" * 256), icns_block(b"s8mk", b"\xff" * 256)))
    put(t, "classic-is32-no-mask.icns", icns(icns_block(b"is32", b"\xff\0\0\xff" * 256)))
    put(t, "classic-it32-rle.icns", icns(icns_block(b"it32", b"\0" * 4 + classic_rle(128 * 128) * 3),
                                         icns_block(b"t8mk", b"\xff" * 128 * 128)))
    put(t, "classic-il32-damaged-rle.icns", icns(icns_block(b"il32", b"\xff\x01" * 40), icns_block(b"l8mk", b"\x01")))
    put(t, "classic-over-cap.icns", icns(icns_block(b"is32", b"\0" * (128 * 128 * 4 + 5))))
    # A PNG or JPEG 2000 in a classic entry or its mask: the plug-in decodes it at any size.
    big = png(1400, 1400)
    put(t, "classic-is32-png-1400.icns", icns(icns_block(b"is32", big)))
    put(t, "classic-il32-png-1000000x2.icns", icns(icns_block(b"il32", png(1000000, 2)), icns_block(b"l8mk", b"\xff" * 1024)))
    put(t, "classic-ih32-png-1024x1025.icns", icns(icns_block(b"ih32", png(1024, 1025, pixel=b"\x10\x20\x30", colour=2))))
    put(t, "classic-it32-png-128.icns", icns(icns_block(b"it32", red), icns_block(b"t8mk", b"\xff" * 128 * 128)))
    put(t, "classic-it32-jpeg2000.icns", icns(icns_block(b"it32", b"\0\0\0\x0cjP  \r\n\x87\n" + b"\0" * 40)))
    put(t, "classic-empty-mask-png-1400.icns", icns(icns_block(b"is32", b""), icns_block(b"s8mk", big)))
    put(t, "classic-mask-png-1400.icns", icns(icns_block(b"is32", b"\xff\0\0\xff" * 256), icns_block(b"s8mk", big)))
    put(t, "jpeg2000.icns", icns(icns_block(b"ic08", b"\0\0\0\x0cjP  \r\n\x87\n" + b"\0" * 40)))
    put(t, "jpeg2000-beside-png.icns", icns(icns_block(b"ic08", b"\0\0\0\x0cjP  \r\n\x87\n" + b"\0" * 40),
                                            icns_block(b"ic09", red)))
    put(t, "png-1024.icns", icns(icns_block(b"ic10", png(1024, 1024, pixel=b"\x10\x20\x30", colour=2))))
    put(t, "png-1024-16-bit.icns", icns(icns_block(b"ic10", png(1024, 1024, depth=16, pixel=b"\xff\0" * 4))))
    # Dimensions in the header that the data does not hold, at and past the cap.
    for w, h in ((1025, 1024), (1024, 1025), (5600, 5600), (0, 16), (16, 0), (2**31, 2**31), (2**32 - 1, 2**32 - 1)):
        put(t, "png-header-%dx%d.icns" % (w, h), icns(icns_block(b"ic07", png(16, 16, header_size=(w, h)))))
    put(t, "png-header-lies-small.icns", icns(icns_block(b"ic07", png(2048, 4, header_size=(16, 16)))))
    # Truncated files and entries, and lengths that point past the end.
    whole = icns(icns_block(b"ic07", red))
    for cut in (4, 8, 12, 16, 30, len(whole) // 2, len(whole) - 1):
        put(t, "truncated-%d.icns" % cut, whole[:cut])
    put(t, "entry-past-end.icns", icns(icns_block(b"ic07", red, length=len(red) + 9)))
    put(t, "header-past-end.icns", icns(icns_block(b"ic07", red), length=2**32 - 1))
    put(t, "header-short.icns", icns(icns_block(b"ic07", red), length=20))
    # A table that claims 1.6 million entries of twelve bytes; a few hundred are there.
    put(t, "claims-many-entries.icns", icns(*[icns_block(b"ic07", b"\0" * 4)] * 300 + [icns_block(b"ic07", red)],
                                            length=8 + 12 * 1600000))
    # The image as the 64th entry and as the 65th.
    filler = icns_block(b"icnV", b"\0" * 4)
    put(t, "entry-64.icns", icns(*[filler] * 63 + [icns_block(b"ic07", red)]))
    put(t, "entry-65.icns", icns(*[filler] * 64 + [icns_block(b"ic07", red)]))
    # Zero and short lengths: an entry of no data, one shorter than its own
    # header, and one shorter than a PNG header.
    put(t, "zero-length-entry.icns", icns(icns_block(b"ic07", b""), icns_block(b"ic08", red)))
    put(t, "entry-length-zero.icns", icns(icns_block(b"ic07", red, length=0)))
    put(t, "entry-length-4.icns", icns(icns_block(b"ic07", red, length=4)))
    put(t, "entry-shorter-than-png-header.icns", icns(icns_block(b"ic07", red[:20])))
    put(t, "header-length-zero.icns", icns(icns_block(b"ic07", red), length=0))
    put(t, "empty-icns.icns", icns())
    # More candidates than are tried: nine damaged PNGs before a good one.
    put(t, "past-the-tries.icns", icns(*[icns_block(b"ic07", red[:40])] * 9 + [icns_block(b"ic08", red)]))
    put(t, "not-icns.png", red)
    put(t, "empty.icns", b"")


if __name__ == "__main__":
    plists()
    permission_db()
    icons()
