#!/usr/bin/env python3
"""Calls up through a lower layer's header: a function declared in a header
of one folder must be defined in that folder (or in the header itself), not
in a folder above it, where the includes can't see the call going up.
Prints each such function; exits 1 when there is one.
    check_calls.py LAYER...   (lowest first)"""
import glob
import os
import re
import sys

layers = sys.argv[1:]
rank = {name: i for i, name in enumerate(layers)}


def code_of(path):
    text = open(path, encoding="utf-8", errors="replace").read()
    text = re.sub(r"//[^\n]*", "", text)
    return re.sub(r"/\*.*?\*/", "", text, flags=re.S)


# A declaration: a type, then the name and its parameters, ended by ";".
DECLARED = re.compile(r"(?:^|(?<=[;{}:]))\s*(?!return\b|typedef\b|using\b|#)[A-Za-z_][\w:<>,*& ]*?[\s*&]"
                      r"((?:\w+::)?~?\w+)\s*\(([^;{}()]|\([^()]*\))*\)\s*(?:const\s*)?(?:override\s*)?"
                      r"(?:=\s*0\s*)?;")
CLASS = re.compile(r"\b(?:struct|class)\s+(\w+)(?:\s+final)?\s*(?::[^{;]*)?\{")
# A definition at the left margin that is not file-local.
DEFINED = re.compile(r"^(?!static\b)[A-Za-z_][\w:<>,*& ]*?[\s*&]((?:\w+::)*~?\w+)\s*\(([^;{}]|\n)*?\)\s*"
                     r"(?:const\s*)?\{", re.M)

declared = {}  # (class or "", name) -> folder of the header
for folder in layers:
    for header in glob.glob(os.path.join(folder, "*.h")):
        code = code_of(header)
        classes = [(m.start(), m.group(1)) for m in CLASS.finditer(code)]
        for m in DECLARED.finditer(code):
            name = m.group(1)
            if "=" in code[max(0, m.start()):m.start(1)]:
                continue
            owner = ""
            # Inside the last class opened before it and not yet closed.
            for start, cls in classes:
                if start < m.start(1) and code.count("{", start, m.start(1)) > code.count("}", start, m.start(1)):
                    owner = cls
            declared.setdefault((owner, name.split("::")[-1]), folder)

defined = {}  # (class or "", name) -> [files]
for folder in layers:
    for source in glob.glob(os.path.join(folder, "*.cpp")):
        for m in DEFINED.finditer(code_of(source)):
            parts = m.group(1).split("::")
            key = (parts[-2] if len(parts) > 1 else "", parts[-1])
            defined.setdefault(key, []).append(source)

status = 0
for key, folder in sorted(declared.items()):
    places = defined.get(key, [])
    if any(p.split(os.sep)[0] == folder for p in places):
        continue
    for place in sorted(set(places)):
        other = place.split(os.sep)[0]
        if rank[other] > rank[folder]:
            print("call up: %s%s is declared in %s/ and defined in %s" %
                  (key[0] + "::" if key[0] else "", key[1], folder, place))
            status = 1
if status == 0:
    print("calls: no function of a lower folder is defined above it")
sys.exit(status)
