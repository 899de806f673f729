#!/usr/bin/env python3
"""Layering check: every #include of a component's sources must name its own folder, a
component or stand-in it declares (kvpvs_component in its CMakeLists.txt), a VTK module or
Open CASCADE when it declares them, or a system header; a PRIVATE dependency only from .cpp
files. A component it declares must be included somewhere, or the declaration is dead.
Stand-ins under platform/ follow the same rule with the stand-ins they link and the module
components they declare (their host/ side, which module code never sees, is not checked).
Header-only uses slip past the linker; this catches them.

usage: check_layering.py --manifest kvpvs_layering.txt --src SRC_DIR [--platform PLATFORM_DIR]
                         [--vtk-hierarchy DIR] [--occt-include DIR]
Exit status 0 when every include is declared, 1 otherwise (each stray include is printed).
"""
import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


SOURCE = ('.h', '.hpp', '.cpp', '.cc')


def read_manifest(path):
    components, standins = {}, {}
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) < 3 or parts[0] not in ('component', 'standin'):
                continue
            fields = dict(p.split('=', 1) for p in parts[3:])
            split = lambda k: {x for x in fields.get(k, '').split(',') if x}
            entry = {'folder': parts[2], 'vtk': split('vtk'), 'occt': split('occt')}
            if parts[0] == 'component':
                entry.update(deps=split('deps'), private=split('private'))
                components[parts[1]] = entry
            else:
                # A stand-in may use what it links, and the module components it declares.
                entry.update(deps=split('links') | split('uses'), private=set())
                standins[parts[1]] = entry
    return components, standins


def standin_headers(standins, platform):
    owner = {}
    for name, s in standins.items():
        include_dir = os.path.join(platform, s['folder'], 'include')
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


def sources(folder, recurse):
    for root, dirs, files in os.walk(folder):
        dirs[:] = sorted(d for d in dirs if recurse and d != 'host')
        for f in sorted(files):
            if f.endswith(SOURCE):
                yield os.path.join(root, f)
        if not recurse:
            return


def check(components, standins, src, platform, vtk_owner, occt_dir):
    header_owner = standin_headers(standins, platform) if platform else {}
    folder_owner = {c['folder']: name for name, c in components.items()}
    faults = []
    units = [(name, c, os.path.join(src, c['folder']), False, src) for name, c in sorted(components.items())]
    if platform:
        # A stand-in's own headers are found beside the file or under its include/ and src/.
        units += [(name, s, os.path.join(platform, s['folder']), True, platform)
                  for name, s in sorted(standins.items())]
    for name, c, folder, recurse, top in units:
        if not os.path.isdir(folder):
            faults.append(f"{name}: folder {os.path.relpath(folder, top)} missing")
            continue
        own = [folder] + [os.path.join(folder, d) for d in ('include', 'src', 'host')] if recurse else [folder]
        used = set()
        for path in sources(folder, recurse):
            with open(path, errors='replace') as fh:
                text = fh.read()
            for kind, inc in INCLUDE.findall(text):
                here = [os.path.dirname(path)] + own
                fault, owner = judge(name, c, kind, inc, here, path.endswith(('.cpp', '.cc')), folder_owner,
                                     header_owner, vtk_owner, occt_dir)
                used.add(owner)
                if fault:
                    faults.append(f"{os.path.relpath(path, top)}: #include {kind}{inc}: {fault}")
        if not recurse:
            for dep in sorted((c['deps'] | c['private']) & set(components) - used):
                faults.append(f"{c['folder']}: component {dep} declared by {name} but no file includes it")
    return faults


def judge(name, c, kind, inc, here, is_source, folder_owner, header_owner, vtk_owner, occt_dir):
    """(fault or None, owning component or stand-in or None)."""
    allowed = c['deps'] | c['private'] | {name}

    def owned_by(owner, what):
        if owner not in allowed:
            return f"{what} {owner} not declared by {name}", owner
        if owner in c['private'] and not is_source:
            return f"{what} {owner} is private to {name}: only its .cpp files may include it", owner
        return None, owner

    if '/' in inc:
        # The longest component folder that prefixes the include names its owner.
        head = os.path.dirname(inc)
        while head:
            if head in folder_owner:
                return owned_by(folder_owner[head], 'component')
            head = os.path.dirname(head)
    if kind == '"' and any(os.path.exists(os.path.join(d, inc)) for d in here):
        return None, name
    if inc in header_owner:
        return owned_by(header_owner[inc], 'stand-in')
    if kind == '"':
        return "not a header of a component or stand-in", None
    if inc.startswith('vtk') and inc.endswith('.h'):
        if not c['vtk']:
            return f"VTK not declared by {name}", None
        module = vtk_owner.get(inc)
        if module and module not in c['vtk']:
            return f"VTK module {module} not declared by {name}", None
        return None, None
    if occt_dir and os.path.exists(os.path.join(occt_dir, inc)):
        return (None if c['occt'] else f"Open CASCADE not declared by {name}"), None
    return None, None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--manifest', required=True)
    ap.add_argument('--src', required=True)
    ap.add_argument('--platform')
    ap.add_argument('--vtk-hierarchy')
    ap.add_argument('--occt-include')
    a = ap.parse_args()
    components, standins = read_manifest(a.manifest)
    faults = check(components, standins, a.src, a.platform, vtk_modules(a.vtk_hierarchy), a.occt_include)
    for f in faults:
        print(f)
    print(f"{len(components)} components and {len(standins) if a.platform else 0} stand-ins checked, "
          f"{len(faults)} stray includes")
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
