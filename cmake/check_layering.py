#!/usr/bin/env python3
"""Layering check: every #include of a component's sources must name its own folder, a
component or stand-in it declares (kvpvs_component in its CMakeLists.txt), a VTK module or
Open CASCADE when it declares them, or a system header. Header-only uses slip past the linker;
this catches them.

usage: check_layering.py --manifest kvpvs_layering.txt --src SRC_DIR
                         [--vtk-hierarchy DIR] [--occt-include DIR]
Exit status 0 when every include is declared, 1 otherwise (each stray include is printed).
"""
import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def read_manifest(path):
    components, standins = {}, {}
    with open(path) as f:
        for line in f:
            parts = line.split()
            if not parts:
                continue
            if parts[0] == 'component':
                name, folder = parts[1], parts[2]
                fields = dict(p.split('=', 1) for p in parts[3:])
                split = lambda k: [x for x in fields.get(k, '').split(',') if x]
                components[name] = {'folder': folder, 'deps': set(split('deps')),
                                    'vtk': set(split('vtk')), 'occt': set(split('occt'))}
            elif parts[0] == 'standin':
                standins[parts[1]] = parts[2]
    return components, standins


def standin_headers(standins):
    owner = {}
    for name, include_dir in standins.items():
        for root, _, files in os.walk(include_dir):
            for f in files:
                rel = os.path.relpath(os.path.join(root, f), include_dir)
                owner[rel] = name
    return owner


def vtk_modules(hierarchy_dir):
    """Header name -> VTK module (without the vtk prefix), from VTK's hierarchy files."""
    owner = {}
    if not hierarchy_dir or not os.path.isdir(hierarchy_dir):
        return owner
    for f in os.listdir(hierarchy_dir):
        with open(os.path.join(hierarchy_dir, f), errors='replace') as h:
            for line in h:
                fields = [x.strip() for x in line.split(';')]
                if len(fields) >= 3 and fields[1].endswith('.h') and fields[2].startswith('vtk'):
                    owner.setdefault(fields[1], fields[2][3:])
    return owner


def check(components, standins, src, vtk_owner, occt_dir):
    header_owner = standin_headers(standins)
    folder_owner = {c['folder']: name for name, c in components.items()}
    faults = []
    for name, c in sorted(components.items()):
        folder = os.path.join(src, c['folder'])
        if not os.path.isdir(folder):
            faults.append(f"{name}: folder {c['folder']} missing")
            continue
        for f in sorted(os.listdir(folder)):
            if not f.endswith(('.h', '.hpp', '.cpp', '.cc')):
                continue
            path = os.path.join(folder, f)
            with open(path, errors='replace') as fh:
                text = fh.read()
            for kind, inc in INCLUDE.findall(text):
                fault = judge(name, c, kind, inc, folder, folder_owner, header_owner, vtk_owner, occt_dir)
                if fault:
                    faults.append(f"{os.path.relpath(path, src)}: #include {kind}{inc}: {fault}")
    return faults


def judge(name, c, kind, inc, folder, folder_owner, header_owner, vtk_owner, occt_dir):
    allowed = c['deps'] | {name}
    if '/' in inc:
        # The longest component folder that prefixes the include names its owner.
        head = os.path.dirname(inc)
        while head:
            if head in folder_owner:
                owner = folder_owner[head]
                return None if owner in allowed else f"component {owner} not declared by {name}"
            head = os.path.dirname(head)
    if inc in header_owner:
        owner = header_owner[inc]
        return None if owner in allowed else f"stand-in {owner} not declared by {name}"
    if kind == '"':
        if os.path.exists(os.path.join(folder, inc)):
            return None
        return "not a header of a component or stand-in"
    if inc.startswith('vtk') and inc.endswith('.h'):
        if not c['vtk']:
            return f"VTK not declared by {name}"
        module = vtk_owner.get(inc)
        if module and module not in c['vtk']:
            return f"VTK module {module} not declared by {name}"
        return None
    if occt_dir and os.path.exists(os.path.join(occt_dir, inc)):
        return None if c['occt'] else f"Open CASCADE not declared by {name}"
    return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--manifest', required=True)
    ap.add_argument('--src', required=True)
    ap.add_argument('--vtk-hierarchy')
    ap.add_argument('--occt-include')
    a = ap.parse_args()
    components, standins = read_manifest(a.manifest)
    faults = check(components, standins, a.src, vtk_modules(a.vtk_hierarchy), a.occt_include)
    for f in faults:
        print(f)
    print(f"{len(components)} components checked, {len(faults)} stray includes")
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
