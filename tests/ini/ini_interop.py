#!/usr/bin/env python3
"""The configparser side of the ini interoperability tests.

  ini_interop.py read FILE    print "[section]" and "key<TAB>value" lines (tabs, breaks escaped)
  ini_interop.py write FILE   write the sample settings to FILE

Bytes are Latin-1 so that every code page 1252 byte passes through unchanged.
"""
import configparser
import sys

SAMPLE = {
    "Table": {
        "LineSize": "96",
        "Name": "Beispiel einer Tabelle",
        "Path": "C:\\data\\table.tbl",
        "Empty": "",
        "Equals": "a=b=c",
        "Semicolon": "x;y",
        "Hash": "#1",
        "Unit": "\xb5m",
    },
    "Table/Column0": {"Name": "Nr", "Adjust": "-1"},
    "Mixed Case": {"KeyOne": "1"},
}


def escape(text):
    return text.replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n")


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("read", "write"):
        sys.exit(__doc__)
    mode, path = sys.argv[1:]
    p = configparser.ConfigParser(interpolation=None)
    p.optionxform = str  # keep the case of keys
    if mode == "write":
        p.read_dict(SAMPLE)
        with open(path, "w", encoding="latin-1") as f:
            p.write(f)
        sys.exit()
    with open(path, encoding="latin-1") as f:
        p.read_file(f)
    out = []
    for section in p.sections():
        out.append("[" + escape(section) + "]")
        out += [escape(k) + "\t" + escape(v) for k, v in p.items(section, raw=True)]
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("latin-1"))
