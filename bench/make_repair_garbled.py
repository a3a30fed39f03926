#!/usr/bin/env python3
"""Garbled Russian texts for the repair's evaluation, made by the programs
that garble them: Python's codecs (Microsoft's and Apple's tables) and glibc's
iconv, from the held-out texts alone (bench/repair_holdout.txt, which the
model never saw).

usage: make_repair_garbled.py HOLDOUT OUT [--per-length N] [--seed N]

OUT gets one sample a line: family, length, the text in UTF-8 and the
garbled bytes, the last two in hex. lork2_repair_eval --garbled OUT reads it.
Only samples whose chain is reversible for them are written (every step
strict), so the text can come back exactly."""
import random
import re
import subprocess
import sys

# (family, encoding written in, [(read as, saved as), ...]); names are
# Python's codecs, 'cp1251?' a strict 1251 reader that writes '?' for the
# byte it does not know (0x98).
CHAINS = [('clean ' + e, e, []) for e in ('utf-8', 'cp1251', 'cp866', 'koi8_r')]
for w in ('cp1251', 'koi8_r', 'cp866', 'latin_1', 'cp1252', 'mac_roman', 'cp437', 'mac_cyrillic', 'iso8859_5',
          'cp1251?'):
    CHAINS.append(('utf-8>%s>utf-8' % w, 'utf-8', [(w, 'utf-8')]))
for w in ('cp1252', 'latin_1', 'mac_cyrillic', 'mac_roman', 'koi8_r', 'cp866', 'cp437'):
    CHAINS.append(('cp1251>%s>utf-8' % w, 'cp1251', [(w, 'utf-8')]))
for w in ('cp437', 'cp1251', 'koi8_r', 'cp1252'):
    CHAINS.append(('cp866>%s>utf-8' % w, 'cp866', [(w, 'utf-8')]))
for w in ('cp1251', 'cp1252', 'latin_1', 'cp866'):
    CHAINS.append(('koi8_r>%s>utf-8' % w, 'koi8_r', [(w, 'utf-8')]))
for e, w, s in (('cp1251', 'koi8_r', 'cp1251'), ('koi8_r', 'cp1251', 'koi8_r'), ('cp1251', 'cp866', 'cp1251'),
                ('cp866', 'cp1251', 'cp866'), ('cp1251', 'mac_cyrillic', 'cp1251')):
    CHAINS.append(('%s>%s>%s' % (e, w, s), e, [(w, s)]))
CHAINS += [
    ('utf-8>cp1251>utf-8 x2', 'utf-8', [('cp1251', 'utf-8')] * 2),
    ('utf-8>latin_1>utf-8 x2', 'utf-8', [('latin_1', 'utf-8')] * 2),
    ('utf-8>cp1252>utf-8>cp1251>utf-8', 'utf-8', [('cp1252', 'utf-8'), ('cp1251', 'utf-8')]),
    ('cp1251>cp1252>utf-8>cp1251>utf-8', 'cp1251', [('cp1252', 'utf-8'), ('cp1251', 'utf-8')]),
    ('utf-8>cp1251>utf-8 x3', 'utf-8', [('cp1251', 'utf-8')] * 3),
    ('utf-8>cp1252>utf-8 x3', 'utf-8', [('cp1252', 'utf-8')] * 3),
]
# glibc's tables, through iconv itself: its Mac Cyrillic has the older "¤" at 0xFF.
ICONV = {'cp1251': 'CP1251', 'koi8_r': 'KOI8-R', 'cp866': 'CP866', 'utf-8': 'UTF-8', 'mac_cyrillic': 'MACCYRILLIC',
         'latin_1': 'ISO-8859-1', 'cp1252': 'CP1252', 'mac_roman': 'MACINTOSH', 'cp437': 'IBM437'}
ICONV_CHAINS = [('iconv ' + f, e, steps) for f, e, steps in (
    ('cp1251>mac_cyrillic>utf-8', 'cp1251', [('mac_cyrillic', 'utf-8')]),
    ('utf-8>cp1251>utf-8', 'utf-8', [('cp1251', 'utf-8')]),
    ('utf-8>latin_1>utf-8', 'utf-8', [('latin_1', 'utf-8')]),
    ('utf-8>mac_roman>utf-8', 'utf-8', [('mac_roman', 'utf-8')]),
    ('cp866>cp437>utf-8', 'cp866', [('cp437', 'utf-8')]),
    ('koi8_r>cp1251>utf-8', 'koi8_r', [('cp1251', 'utf-8')]),
)]

PLAIN = {'«': '"', '»': '"', '“': '"', '”': '"', '„': '"', '‘': "'", '’': "'", '—': '-', '–': '-',
         '…': '...', '\u00a0': ' '}


def plain(line):
    # Only characters every code page holds: typographic marks become ASCII.
    return ''.join(PLAIN.get(c, c) for c in line if ord(c) < 0x80 or c in PLAIN or 'а' <= c.lower() <= 'я'
                   or c in 'ёЁ')


def russian(s):
    return len(re.findall('[а-яё]', s, re.I))


def read_as(data, codec):
    if codec == 'cp1251?':
        return data.decode('cp1251', errors='replace').replace('\ufffd', '?')
    return data.decode(codec)


def garble_python(text, original, steps):
    data = text.encode(original)
    for wrong, saved in steps:
        data = read_as(data, wrong).encode(saved)
    return data


def garble_iconv(texts, original, steps):
    """All texts at once through one iconv per step, NUL between them."""
    data = b'\0'.join(t.encode(original) for t in texts)
    for wrong, saved in steps:
        data = subprocess.run(['iconv', '-f', ICONV[wrong], '-t', ICONV[saved]], input=data,
                              capture_output=True, check=True).stdout
    return data.split(b'\0')


def reversible(text, original, steps, data):
    """The chain undone gives the text back. A '?' written for 0x98 is
    undone by guessing the letter: such samples are kept only where one was
    written and the text had no '?' of its own."""
    if any(w == 'cp1251?' for w, _ in steps):
        return b'\x98' in text.encode(original) and '?' not in text
    try:
        for wrong, saved in reversed(steps):
            data = data.decode(saved).encode(wrong)
        return data.decode(original) == text
    except UnicodeError:
        return False


def samples(lines, per_length, rng):
    def pick(low, high, letters):
        for _ in range(100000):
            l = rng.choice(lines)
            start = rng.randrange(len(l))
            while start > 0 and l[start - 1] != ' ':
                start -= 1
            for end in range(start + 1, len(l) + 1):
                if end < len(l) and l[end] != ' ':
                    continue
                s = l[start:end]
                size = russian(s) if letters else len(s)
                if size > high:
                    break
                if size >= low and russian(s) >= 5:
                    return s
        return ''
    out = []
    for _ in range(per_length):
        out.append(('1 very short', pick(5, 11, True)))
        out.append(('2 short', pick(12, 25, True)))
        out.append(('3 sentence', pick(60, 120, False)))
        out.append(('4 capitals', pick(12, 60, False).upper()))
    for _ in range(per_length // 6 + 1):
        at, text, size = rng.randrange(len(lines)), '', 2048 + rng.randrange(4096)
        while len(text) < size:
            text += lines[at % len(lines)] + '\r\n'
            at += 1
        out.append(('5 text', text))
    return [(k, s) for k, s in out if s]


def mixed(lines, rng, count):
    """Documents of 12 paragraphs, each clean or garbled its own way, and
    documents of 1251 lines among UTF-8 lines."""
    docs = []
    for i in range(count):
        parts, data = [], b''
        while len(parts) < 12:
            line = lines[rng.randrange(len(lines))]
            how = rng.choice(['clean', 'cp1251', 'latin_1'] if i % 2 == 0 else ['clean', 'bytes'])
            try:
                if how == 'clean':
                    part = line.encode('utf-8')
                elif how == 'bytes':
                    part = line.encode('cp1251')
                else:
                    part = line.encode('utf-8').decode(how).encode('utf-8')
            except UnicodeError:
                continue
            parts.append(line)
            data += part + b'\r\n'
        docs.append(('mixed paragraphs' if i % 2 == 0 else 'mixed 1251 and utf-8', '6 document',
                     '\r\n'.join(parts) + '\r\n', data))
    return docs


def main():
    args = sys.argv[1:]
    per_length, seed = 200, 2026
    if '--per-length' in args:
        per_length = int(args[args.index('--per-length') + 1])
    if '--seed' in args:
        seed = int(args[args.index('--seed') + 1])
    rng = random.Random(seed)
    lines = [plain(l.rstrip('\n')) for l in open(args[0], encoding='utf-8')]
    lines = [l for l in lines if l]
    pool = samples(lines, per_length, rng)
    rows = []
    for family, original, steps in CHAINS:
        for length, text in pool:
            try:
                data = garble_python(text, original, steps)
            except UnicodeError:
                continue
            if not steps or reversible(text, original, steps, data):
                rows.append((family, length, text, data))
    for family, original, steps in ICONV_CHAINS:
        kept = []
        for length, text in pool:
            try:
                garble_python(text, original, steps)
                kept.append((length, text))
            except UnicodeError:
                pass
        for (length, text), data in zip(kept, garble_iconv([t for _, t in kept], original, steps)):
            rows.append((family, length, text, data))
    rows += mixed(lines, rng, max(2, per_length // 10))
    with open(args[1], 'w') as f:
        for family, length, text, data in rows:
            f.write('%s\t%s\t%s\t%s\n' % (family, length, text.encode('utf-8').hex(), data.hex()))
    print(len(rows), 'samples', file=sys.stderr)


main()
