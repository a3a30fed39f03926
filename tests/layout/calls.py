#!/usr/bin/env python3
"""The program's files call and use only their own floor and the floors
below it, and no two files reach each other, even through others.

usage: calls.py NM SOURCE_DIR OBJECT_DIR...

Reads the symbols of the program's object files (those of lork2_core and
lork2_win): a file that uses a symbol another file defines depends on it.
A header and its .cpp are one file. Prints every circle and every use that
points up a floor; exits 1 when there is one."""
import collections
import os
import re
import subprocess
import sys

FLOORS = {'core': 0, 'base': 1, 'editor': 2, 'codepage': 3, 'document': 3,
          'search': 3, 'print': 3, 'dialogs': 4, 'app': 5}


def objects(source, dirs):
    for top in dirs:
        for folder, _, names in os.walk(top):
            for name in names:
                if name.endswith(('.obj', '.o')):
                    path = os.path.join(folder, name)
                    m = re.search(r'lork2_(?:win|core)\.dir/(.+)\.cpp\.(?:obj|o)$', path)
                    # An object left from a file since moved or deleted is no part of the program.
                    if m and os.path.exists(os.path.join(source, m.group(1) + '.cpp')):
                        yield os.path.normpath(m.group(1)), path


def circles(graph):
    """Every set of two or more files that reach each other in `graph` (a
    file to the files it reaches), sorted (Tarjan's strongly connected
    components)."""
    index, low, stack, on, found = {}, {}, [], set(), []
    sys.setrecursionlimit(10000)

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in sorted(graph.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            part = []
            while not part or part[-1] != v:
                part.append(stack.pop())
                on.discard(part[-1])
            if len(part) > 1:
                found.append(sorted(part))

    for v in sorted(set(graph) | {w for ws in graph.values() for w in ws}):
        if v not in index:
            visit(v)
    return found


def main():
    nm, source, dirs = sys.argv[1], sys.argv[2], sys.argv[3:]
    defined, used = {}, collections.defaultdict(set)
    for unit, path in objects(source, dirs):
        out = subprocess.run([nm, path], capture_output=True, text=True, check=True).stdout
        for line in out.splitlines():
            parts = line.split()
            if len(parts) == 3 and parts[1] in 'TDBRC':
                if not parts[2].startswith(('.', '__')):
                    defined.setdefault(parts[2], unit)
            elif len(parts) == 2 and parts[0] == 'U':
                used[unit].add(parts[1])
    if not defined:
        print('no object files of the program found under', ' '.join(dirs))
        return 1
    graph = collections.defaultdict(set)
    for unit, symbols in used.items():
        for symbol in symbols:
            owner = defined.get(symbol)
            if owner and owner != unit:
                graph[unit].add(owner)

    bad = 0
    for unit, owners in sorted(graph.items()):
        for owner in sorted(owners):
            a, b = unit.split('/')[0], owner.split('/')[0]
            if a not in FLOORS or b not in FLOORS:
                continue
            if FLOORS[b] > FLOORS[a] or (FLOORS[a] == FLOORS[b] == 3 and a != b):
                print(f'{unit} uses {owner}, which is not below it')
                bad = 1

    for part in circles(graph):
        print('these files reach each other:', ' <-> '.join(part))
        bad = 1
    return bad


if __name__ == '__main__':
    sys.exit(main())
