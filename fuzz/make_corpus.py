#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into corpus/<target>/.

The seeds are committed; run this again only to regenerate them. Inputs that
libFuzzer finds worth keeping, and crash reproducers, are added beside them.
"""
import os
import plistlib
import sqlite3
import struct
import tempfile

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


def btm():
    t = "btm"
    def record(uuid, lines):
        return " #1:\n                 UUID: %s\n" % uuid + "".join("          %s\n" % l for l in lines)
    normal = ("========================\n Records for UID 501 : 11111111-2222-3333-4444-555555555555\n"
              "========================\n\n ServiceManagement migrated: true\n\n Items:\n\n"
              + record("A1", ["Name: Example Helper", "Developer Name: Example", "Type: login item (0x4)",
                              "Disposition: [enabled, allowed, visible, notified] (0xb)",
                              "Identifier: com.example.helper",
                              "Executable: /Library/PrivilegedHelperTools/helper",
                              "Parent Identifier: ABCDE12345.com.example.suite"])
              + record("A2", ["Identifier: com.example.installed", "Type: agent (0x8)"])
              + record("A3", ["Identifier: com.apple.something", "Executable: /usr/bin/tool"])
              + record("A4", ["Identifier: com.example.linked", "Executable: /Library/PrivilegedHelperTools/bin/tool"])
              + record("A5", ["Identifier: com.example.quote", "Executable: /Library/PrivilegedHelperTools/it's a \"helper\"",
                              "Name: it's \"quoted\""])
              + record("A6", ["Identifier: -rf", "Executable: missing value", "Type: legacy daemon (0xDEADbeef) extra"]))
    put(t, "normal.txt", normal)
    put(t, "truncated.txt", normal[: len(normal) // 2])
    put(t, "crlf.txt", normal.replace("\n", "\r\n"))
    put(t, "unicode-breaks.txt", "UUID: x\u2028\tIdentifier: com.example.tab\t\rName:\tTabbed \u0085Type: t\u2029"
        "Identifier: e\u0301e\u0301e\u0301e\u0301\n")
    put(t, "invalid-utf8.txt", b"UUID: a\nIdentifier: com.example.\xff\xfe\xc3\x28bad\nExecutable: /Library/\xed\xa0\x80x\n")
    put(t, "garbage.txt", "UUID:\n\n:::\nIdentifier:\nUUID:UUID:\n\x01\x02 Identifier: x\nExecutable: /\nExecutable: /..\n")
    put(t, "utf16-mode.bin", b"\xff" + "UUID: a\nIdentifier: com.example.x".encode("utf-16-le") + b"\x00\xd8")
    # One line of a megabyte, and an identifier of a megabyte.
    put(t, "long-line.txt", "UUID: a\nIdentifier: com.example.long\nName: " + "N" * (1 << 20) + "\n")
    put(t, "long-identifier.txt", "UUID: a\nIdentifier: " + "\u00e9\u0301" * (1 << 16) + "\n")
    put(t, "many-records.txt", "".join("UUID: %d\nIdentifier: com.example.item%d\n" % (i, i % 50) for i in range(5000)))


def json_():
    t = "json"
    put(t, "feed.json", '{"version":"2.1.0","build":"210","downloadURL":"https://example.com/q.dmg","notes":"Fixes","publishedAt":"2024-01-01"}')
    put(t, "feed-nulls.json", '{"version":"2","build":null,"downloadURL":"x","notes":null}')
    put(t, "feed-wrong-type.json", '{"version":2,"downloadURL":["x"]}')
    put(t, "settings.json", '{"version":"1.0.0","build":"1","about":"About","sentryDSN":"","updateFeedURL":"https://example.com/feed.json","supportEmail":null,"websiteURL":"https://example.com"}')
    put(t, "array.json", '[{"version":"1"}]')
    put(t, "truncated.json", '{"version":"2.1.0","build":"2')
    put(t, "bad-utf8.json", b'{"version":"\xff\xfe\xc3\x28","downloadURL":"\xed\xa0\x80"}')
    put(t, "escapes.json", '{"version":"\\ud800\\u0000\\"","downloadURL":"\\/\\b\\f\\n"}')
    put(t, "deep.json", "[" * 5000 + "]" * 5000)
    put(t, "numbers.json", '{"version":1e999999,"build":-0,"downloadURL":123456789012345678901234567890}')
    put(t, "duplicate-keys.json", '{"version":"1","version":2,"downloadURL":"u"}')


def version():
    t = "version"
    pairs = [("1.2.3", "1.2.10"), ("1.0", "1"), ("1.0.0", "1..0"), ("+1", "1"), ("-0", "0"),
             ("9", "1a"), ("10", "9"), ("2.0b1", "2.0"), ("99999999999999999999", "1"),
             ("\u00e9", "e\u0301"), ("1.\u00a0", "1"), ("", "."), ("1.-1", "1")]
    for i, (a, b) in enumerate(pairs):
        put(t, "pair-%02d.txt" % i, a.encode() + b"\0" + b.encode())
    put(t, "utf16-surrogates.bin", b"\xff" + "1.a".encode("utf-16-le") + b"\x00\xd8\x00\x00\x00\xdc")
    put(t, "invalid-utf8.txt", b"1.\xff\xfe\x001.\xc3\x28")


def trash_info():
    t = "trash_info"
    put(t, "plain.txt", "/home/me/Documents/report.pdf")
    put(t, "quotes-newlines.txt", "/home/me/it's \"a\"\nfile\r\nDeletionDate=never")
    put(t, "dash-percent.txt", "/tmp/-rf %20 %zz %")
    put(t, "unicode.txt", "/home/me/Caf\u00e9/\U0001F600 \u2028 e\u0301")
    put(t, "relative.txt", "relative/path")
    put(t, "invalid-utf8.txt", b"/tmp/\xff\xfe\xc3\x28")
    put(t, "info-file.txt", "[Trash Info]\nPath=/home/me/a%20b%0A\nDeletionDate=2024-01-01T00:00:00\n")
    put(t, "info-two-groups.txt", "[Other]\nPath=/wrong\n[Trash Info]\r\nPath=%2Fright%ZZ\r\n")
    put(t, "info-empty-path.txt", "[Trash Info]\nPath=\n")


def admin_command():
    t = "admin_command"
    put(t, "simple.txt", "Example\n/Library/Application Support/Example")
    put(t, "many.txt", b"Example\n" + b"\0".join([b"/b", b"/a", b"/b", b"/c d", b"/a"]))
    put(t, "quotes.txt", b"It's \"Quoted\" \\ App\n/it's/\"x\"\\y\0/a'b'c\0/'\0/''")
    put(t, "newlines-dashes.txt", b"App\n/tmp/line\nbreak\0-rf\0--\0-\0/tmp/\r\t\0$(reboot)\0`id`;rm *")
    put(t, "empty.txt", b"")
    put(t, "empty-paths.txt", b"App\n\0\0")
    put(t, "unicode.txt", "Caf\u00e9\n/Applications/\U0001F600.app\0/\u2028\u0085".encode())
    put(t, "invalid-utf8.txt", b"\xff\xfeApp\n/\xc3\x28\0/\xed\xa0\x80")
    put(t, "utf16.bin", b"\xff" + "/a\0/b\"".encode("utf-16-le") + b"\x00\xd8")
    put(t, "script-text.txt", 'do shell script "/bin/rm -rfv -- \'/a\'\\\\\'\'" with prompt "x" with administrator privileges')


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


if __name__ == "__main__":
    plists()
    btm()
    json_()
    version()
    trash_info()
    admin_command()
    permission_db()
