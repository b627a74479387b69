#!/usr/bin/env python3
# The longest functions of the program's code (link parameter texts ui cli
# sim) and its line count, for reviews of how the code reads.
#   scripts/longest-functions.py [CHECKOUT] [HOW_MANY]
# A function is a line with '(' that ends in '{' (or whose signature does, a
# few lines on), at namespace scope (column 0) or inside a class (indent 4); its
# body ends at the next '}' at the same indentation. Lambdas and control
# statements are skipped.
import os, re, sys, subprocess
root = sys.argv[1] if len(sys.argv) > 1 else '.'
top = int(sys.argv[2]) if len(sys.argv) > 2 else 12
files = subprocess.run(['git', '-C', root, 'ls-files', 'link', 'parameter', 'texts', 'ui', 'cli', 'sim'],
                       capture_output=True, text=True).stdout.split()
files = [f for f in files if f.endswith(('.cpp', '.h'))]
skip = ('#', '//', 'namespace', 'struct', 'class', 'enum', 'using', 'constexpr ', 'inline constexpr', 'static_assert',
        'if ', 'if(', 'for ', 'while ', 'switch', 'return', 'case', 'else', 'do ', 'try', 'catch', '}', 'public', 'private')
res = []; total = 0
for f in files:
    lines = open(os.path.join(root, f), encoding='utf-8').read().split('\n')
    total += len(lines) - (1 if lines[-1] == '' else 0)
    i = 0
    while i < len(lines):
        l = lines[i]
        indent = len(l) - len(l.lstrip(' '))
        body = l.strip()
        if indent in (0, 4) and body and '(' in body and not body.startswith(skip) and '= [' not in body and '=[' not in body:
            j = i
            while j < len(lines) and j < i + 6 and not lines[j].rstrip().endswith(('{', ';', '}')): j += 1
            if j < len(lines) and lines[j].rstrip().endswith('{') and '=' not in body.split('(')[0]:
                close = ' ' * indent + '}'
                k = j + 1
                while k < len(lines) and not (lines[k].startswith(close) and (len(lines[k]) == len(close) or lines[k][len(close)] in ';) ')): k += 1
                name = re.findall(r'([\w:~]+)\s*\(', body)
                res.append((k - i + 1, name[0] if name else body[:40], f'{f}:{i+1}'))
                i = j + 1; continue
        i += 1
res.sort(reverse=True)
print('total lines', total, 'in', len(files), 'files')
for n, name, where in res[:top]: print(n, name, where)
