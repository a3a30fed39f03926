#!/usr/bin/env python3
"""Builds the Russian letter model of the text repair (core/repair/model.cpp)
and the held-out texts its evaluation reads (bench/repair_holdout.txt).

Sources: the Russian message catalogues (/usr/share/locale/ru/LC_MESSAGES/*.mo)
and Russian manual pages (/usr/share/man/ru) of the Debian packages installed on
the machine; each is under its package's free licence (see the README). The
catalogues named in HELD_OUT and all the manual pages are kept out of the model
and go to the evaluation instead. Run by hand: python3 tools/make_repair_model.py
"""
import glob, gzip, math, os, re, struct, sys
from collections import Counter

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HELD_OUT = {'coreutils', 'git', 'tar', 'wget', 'wget-gnulib', 'lynx', 'sed', 'grep', 'findutils',
            'diffutils', 'make', 'man-db', 'man-db-gnulib', 'psmisc', 'shadow'}
LETTERS = 'абвгдежзийклмнопрстуфхцчшщъыьэюяё'
# 0 a boundary (blank, punctuation, digit), 1..33 the Russian letters, 34 a
# Latin letter, 35 anything else.
CLASSES = 36
LEVELS = 94   # quarter bits, 0..93, written as the characters '!'..'~'
PREFIX_SEEN = 10      # word starts seen at least this often get their own costs
PREFIX_WEIGHT = 8.0   # how many sightings the trigram fallback counts for


def mo_strings(path):
    d = open(path, 'rb').read()
    e = '<' if struct.unpack('<I', d[:4])[0] == 0x950412de else '>'
    _, _, n, o, t = struct.unpack(e + '5I', d[:20])
    out = []
    for i in range(n):
        length, off = struct.unpack(e + '2I', d[t + 8 * i:t + 8 * i + 8])
        try:
            s = d[off:off + length].decode('utf-8')
        except UnicodeDecodeError:
            continue
        for part in s.split('\0'):
            if re.search('[а-яё]', part, re.I) and 'Content-Type' not in part:
                out.append(part)
    return out


def man_text(path, letters='[а-яё]'):
    text = gzip.open(path, 'rb').read().decode('utf-8', 'ignore')
    lines = []
    for line in text.split('\n'):
        if line.startswith(("'", '.\\"')):
            continue
        line = re.sub(r'^\.[A-Za-z]+\s*', '', line)
        line = re.sub(r'\\f[BIRP]|\\f\(..|\\[-&(e]|\\\(..|\\\*\(..|\\s[-+]?\d', '', line)
        line = line.replace('\\', '')
        if re.search(letters, line, re.I):
            lines.append(line.strip())
    return lines


def cls(ch):
    c = ch.lower()
    k = LETTERS.find(c)
    if k >= 0:
        return k + 1
    if ('a' <= c <= 'z'):
        return 34
    if ch.isspace() or ch.isdigit() or (ord(ch) < 0x80) or ch in '«»—–…“”„№\u00a0‘’':
        return 0
    return 35


def class_sequence(s, class_of):
    """The classes of the characters of s, blanks and marks run together into
    one boundary, with a boundary at each end."""
    seq = [0]
    for ch in s:
        c = class_of(ch)
        if c == 0 and seq[-1] == 0:
            continue
        seq.append(c)
    if seq[-1] != 0:
        seq.append(0)
    return seq


def russian_classes(s):
    # The repair gives other characters (class 35) a flat cost.
    return class_sequence(s, lambda ch: cls(ch) % 35)


LATIN_CLASSES = 28
# Two common ways of writing Russian in Latin letters.
TRANSLIT = [dict(zip(LETTERS, ['a', 'b', 'v', 'g', 'd', 'e', 'zh', 'z', 'i', 'y', 'k', 'l', 'm', 'n', 'o', 'p',
                               'r', 's', 't', 'u', 'f', 'kh', 'ts', 'ch', 'sh', 'shch', '', 'y', "'", 'e', 'yu',
                               'ya', 'e'])),
            dict(zip(LETTERS, ['a', 'b', 'v', 'g', 'd', 'e', 'zh', 'z', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p',
                               'r', 's', 't', 'u', 'f', 'h', 'c', 'ch', 'sh', 'sch', '"', 'y', "'", 'e', 'ju',
                               'ja', 'jo']))]


def transliterated(s, scheme):
    out = []
    for ch in s:
        t = TRANSLIT[scheme].get(ch.lower())
        out.append(ch if t is None else t.upper() if ch.isupper() else t)
    return ''.join(out)


def latin_class(ch):
    c = ch.lower()
    return ord(c) - ord('a') + 1 if 'a' <= c <= 'z' else 0 if ord(ch) < 0x80 else 27


def latin_classes(s):
    return class_sequence(s, latin_class)


def model(seqs, classes):
    """Trigram costs in quarter bits, interpolated with bigrams and single classes."""
    tri, bi, uni = Counter(), Counter(), Counter()
    for seq in seqs:
        for i in range(len(seq)):
            uni[seq[i]] += 1
            if i >= 1:
                bi[seq[i - 1], seq[i]] += 1
            if i >= 2:
                tri[seq[i - 2], seq[i - 1], seq[i]] += 1
    total = sum(uni.values())
    bictx, trictx = Counter(), Counter()
    for (a, b), n in bi.items():
        bictx[a] += n
    for (a, b, c), n in tri.items():
        trictx[a, b] += n
    table = []
    for a in range(classes):
        for b in range(classes):
            for c in range(classes):
                p1 = (uni[c] + 0.5) / (total + 0.5 * classes)
                p2 = bi[b, c] / bictx[b] if bictx[b] else p1
                p3 = tri[a, b, c] / trictx[a, b] if trictx[a, b] else p2
                p = 0.85 * p3 + 0.12 * p2 + 0.03 * p1
                table.append(min(LEVELS - 1, int(round(-math.log2(p) * 4))))
    return table, total


def word_start_model(seqs):
    """Costs of class c after a boundary and classes a, b (the first letters of
    a word), interpolated with the trigram of a, b, c."""
    four, fourctx, tri, trictx, bi, bictx = Counter(), Counter(), Counter(), Counter(), Counter(), Counter()
    for seq in seqs:
        for i in range(1, len(seq)):
            bi[seq[i - 1], seq[i]] += 1
            bictx[seq[i - 1]] += 1
            if i >= 2:
                tri[seq[i - 2], seq[i - 1], seq[i]] += 1
                trictx[seq[i - 2], seq[i - 1]] += 1
            if i >= 3 and seq[i - 3] == 0:
                four[seq[i - 2], seq[i - 1], seq[i]] += 1
                fourctx[seq[i - 2], seq[i - 1]] += 1
    table = []
    for a in range(CLASSES):
        for b in range(CLASSES):
            for c in range(CLASSES):
                p2 = (bi[b, c] + 0.01) / (bictx[b] + 0.01 * CLASSES)
                p3 = tri[a, b, c] / trictx[a, b] if trictx[a, b] else p2
                n = fourctx[a, b]
                p4 = four[a, b, c] / n if n else p3
                # Trust the word starts as far as they were seen.
                w = n / (n + 20.0)
                p = w * (0.85 * p4 + 0.15 * p3) + (1 - w) * p3
                p = 0.97 * p + 0.03 * p2
                table.append(min(LEVELS - 1, int(round(-math.log2(p) * 4))))
    return table


def prefix_model(seqs, table):
    """For the first three Russian letters of a word seen often enough, the
    costs of each class after them, falling back on the trigram costs."""
    ctx, nxt = Counter(), Counter()
    for seq in seqs:
        for i in range(1, len(seq) - 3):
            if seq[i - 1] == 0 and all(1 <= c <= 33 for c in seq[i:i + 3]):
                key = tuple(seq[i:i + 3])
                ctx[key] += 1
                nxt[key, seq[i + 3]] += 1
    keys = sorted(k for k, n in ctx.items() if n >= PREFIX_SEEN)
    costs = []
    for k in keys:
        a, b = k[1], k[2]
        for c in range(CLASSES):
            back = 2 ** (-table[(a * CLASSES + b) * CLASSES + c] / 4)
            p = (nxt[k, c] + PREFIX_WEIGHT * back) / (ctx[k] + PREFIX_WEIGHT)
            costs.append(min(LEVELS - 1, int(round(-math.log2(p) * 4))))
    packed = [(a * 34 + b) * 34 + c for a, b, c in keys]
    return packed, costs


def rows(table):
    out = []
    for i in range(0, len(table), 108):
        chunk = ''.join(chr(33 + v) for v in table[i:i + 108])
        out.append('    "' + chunk.replace('\\', '\\\\').replace('"', '\\"').replace('?', '\\?') + '"')
    return '\n'.join(out)


def main():
    train, held = [], []
    catalogues = sorted(glob.glob('/usr/share/locale/ru/LC_MESSAGES/*.mo'))
    for p in catalogues:
        name = os.path.basename(p)[:-3]
        (held if name in HELD_OUT else train).append((name, mo_strings(p)))
    for p in sorted(glob.glob('/usr/share/man/ru/man*/*.gz')):
        held.append((os.path.basename(p), man_text(p)))
    seqs = [russian_classes(s) for _, strings in train for s in strings]
    table, total = model(seqs, CLASSES)
    starts = word_start_model(seqs)
    prefix_keys, prefix_costs = prefix_model(seqs, table)
    english = []
    for p in sorted(glob.glob('/usr/share/man/man1/git*.1.gz')):
        english += [l for l in man_text(p, '[a-z]') if not re.search('[^\x00-\x7f]', l)]
    translit = [transliterated(s, k) for _, strings in train for s in strings for k in (0, 1)]
    latin, latin_total = model([latin_classes(s) for s in english + translit], LATIN_CLASSES)
    with open(os.path.join(ROOT, 'core/repair/model.cpp'), 'w') as f:
        f.write('// Generated by tools/make_repair_model.py from the Russian message catalogues and\n'
                '// English manual pages of Debian packages (see the README); do not edit.\n'
                '#include "core/repair/model.h"\n\n'
                '// The cost in quarter bits of letter class c after classes a and b is\n'
                '// kRepairTrigrams[(a * 36 + b) * 36 + c] - 33.\n'
                'const char kRepairTrigrams[] =\n' + rows(table) + ';\n\n'
                '// The same right after a word boundary and classes a and b:\n'
                '// kRepairWordStarts[(a * 36 + b) * 36 + c] - 33.\n'
                'const char kRepairWordStarts[] =\n' + rows(starts) + ';\n\n'
                '// The first three Russian letters of common words, (a * 34 + b) * 34 + c,\n'
                '// in order, and the costs of each class after them: kRepairPrefixCosts[\n'
                '// (index * 36) + class] - 33.\n'
                'const int kRepairPrefixCount = %d;\n' % len(prefix_keys) +
                'const unsigned short kRepairPrefixKeys[] = {\n' +
                '\n'.join('    ' + ', '.join(str(k) for k in prefix_keys[i:i + 12]) + ','
                          for i in range(0, len(prefix_keys), 12)) + '\n};\n'
                'const char kRepairPrefixCosts[] =\n' + rows(prefix_costs) + ';\n\n'
                '// Latin text (English, and Russian written in Latin letters): class 0 a\n'
                '// boundary, 1..26 a..z, 27 anything else; kRepairLatin[(a * 28 + b) * 28 + c] - 33.\n'
                'const char kRepairLatin[] =\n' + rows(latin) + ';\n')
    # Lines of at least two words, mostly Russian; every third one, up to 160 KB.
    kept, size = [], 0
    for name, strings in held:
        for s in strings:
            for line in s.split('\n'):
                line = re.sub(r'\s+', ' ', line).strip()
                letters = len(re.findall('[а-яё]', line, re.I))
                if letters >= 5 and ' ' in line and letters * 2 >= len(line):
                    kept.append(line)
    with open(os.path.join(ROOT, 'bench/repair_holdout.txt'), 'w') as f:
        for line in kept[::3]:
            size += len(line.encode()) + 1
            if size > 160000:
                break
            f.write(line + '\n')
    print('model from', len(train), 'catalogues,', total, 'classes; held out', len(held), file=sys.stderr)
    print('training catalogues:', ' '.join(n for n, _ in train), file=sys.stderr)


main()
