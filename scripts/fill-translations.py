#!/usr/bin/env python3
"""Fills unfinished entries of a .ts file from a tab-separated dictionary.

Each dictionary line is: English source<TAB>translation, with \\n for line breaks.
A translation of "=" keeps the source text (model names and other fixed names).
Entries are matched by source text alone, so one English text gets one translation
in every context. Prints what is still unfinished.
"""
import sys
import xml.etree.ElementTree as ET


def unescape(s):
    return s.replace('\\n', '\n').replace('\\t', '\t')


def main():
    if len(sys.argv) != 3:
        sys.exit('usage: fill-translations.py file.ts dictionary.tsv')
    ts_path, dict_path = sys.argv[1:]
    table = {}
    with open(dict_path, encoding='utf-8') as f:
        for line in f:
            line = line.rstrip('\n')
            if not line or line.startswith('#') or '\t' not in line:
                continue
            src, tr = line.split('\t', 1)
            src = unescape(src)
            table[src] = src if tr == '=' else unescape(tr)
    tree = ET.parse(ts_path)
    left = []
    for ctx in tree.getroot().iter('context'):
        name = ctx.findtext('name')
        for msg in ctx.iter('message'):
            src = msg.findtext('source')
            tr = msg.find('translation')
            if tr is None or tr.get('type') != 'unfinished':
                continue
            if src in table:
                tr.text = table[src]
                del tr.attrib['type']
            else:
                left.append(f'{name}\t{src!r}')
    body = ET.tostring(tree.getroot(), encoding='unicode')
    with open(ts_path, 'w', encoding='utf-8') as f:
        f.write('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + body + '\n')
    for l in left:
        print('unfinished:', l)


if __name__ == '__main__':
    main()
