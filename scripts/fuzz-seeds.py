#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora from the repository's fixtures.

  scripts/fuzz-seeds.py OUTPUT_FOLDER

One folder per target (the names of tests/fuzz/FuzzTargets.cpp). Inputs
that join a .reg prefix and the rest put a NUL byte between them, as the
targets split them.
"""
import glob
import hashlib
import json
import os
import sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
out = sys.argv[1]


def read(path):
    with open(os.path.join(root, path), 'rb') as f:
        return f.read()


def write(target, data):
    folder = os.path.join(out, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()), 'wb') as f:
        f.write(data)


def strings(value):
    """Every text in a JSON value."""
    if isinstance(value, str):
        yield value
    elif isinstance(value, dict):
        for member in value.values():
            yield from strings(member)
    elif isinstance(value, list):
        for element in value:
            yield from strings(element)


regs = [b''] + [read(p) for p in sorted(glob.glob(os.path.join(root, 'tests/data/registry/*.reg')))]
answers = [read(p) for p in sorted(glob.glob(os.path.join(root, 'server/*/answers/*.json')))]
offer = json.loads(read('tests/data/offers/example-offer.json'))
answers.append(json.dumps({'l': 'DE', 'i': {'ct': 'Product', 'cu': 'https://example.org/p.exe'},
                           'f': {'a': 'pub', 'm': 3}, 'o': [offer, offer]}).encode())

for reg in regs:
    for answer in answers:
        write('configuration-answer', reg + b'\0' + answer)

for path in sorted(glob.glob(os.path.join(root, 'resources/locale/**/*.xml'), recursive=True)):
    write('locale-document', read(path))
write('locale-document', b'<Locale name="de"><A>{B} x</A><B>{A}{C}</B><C>c</C></Locale>')

rules = set()
for answer in answers:
    for element in json.loads(answer).get('o', []):
        ps = element.get('ps', {})
        for member, letter in (('r', 'r'), ('ir', 'i'), ('rvn', 'n'), ('rvd', 'd')):
            rules.update(letter + rule for rule in ps.get(member, []))
rules.update(['rHKLM\\Software\\BrimvaleRules\\Present', 'iHKEY_CURRENT_USER\\Software\\BrimvaleRules',
              'nBrimvaleRules\\Present\\name', 'dBrimvaleRules\\Present\\build\\12',
              'rhkey_local_machine\\software\\wow6432node\\brimvalerules', 'dhku\\x\\y\\z'])
for reg in regs:
    write('registry-rules', reg + b'\0' + '\n'.join(sorted(rules)).encode())

urls = set()
for answer in answers:
    urls.update(s for s in strings(json.loads(answer)) if '://' in s)
urls.update(['https://files.example/get?id=1', 'http://[::1]:8080/a/b.zip#x', 'https://u:p@host/setup.exe',
             'files.example/setup.exe', 'https://host/a/..'])
for url in urls:
    write('url', url.encode())

payload = json.dumps({'1': 'MID', '2': '20240102030405', '5': 'offer', '6': '2', '13': 'FILE EXISTS'})
write('server-request', json.dumps({'data': payload, 'table': 'zb_analytics'}).encode())
write('server-request', json.dumps({'data': '[]', 'table': 'other'}).encode())
write('server-request', json.dumps({'l': 'de', 'wk': 'DLM', 'mid': 'MID'}).encode())
