#!/usr/bin/env python3
"""The layering check fails on a stray include: copies of src/ and platform/ pass as they are,
then fail with one stray of each kind planted in them (a component above the folder, an
undeclared stand-in, an undeclared VTK module, VTK where none is declared, a stand-in's include
of a stand-in it does not link or of a module component it does not declare, a declared
component no file includes, a private dependency included from a header)."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

check, manifest, src, platform, vtk_hierarchy, occt_include = sys.argv[1:7]


def run(tree, manifest):
    r = subprocess.run([sys.executable, check, '--manifest', manifest, '--src', os.path.join(tree, 'src'),
                        '--platform', os.path.join(tree, 'platform'), '--vtk-hierarchy', vtk_hierarchy,
                        '--occt-include', occt_include], capture_output=True, text=True)
    return r.returncode, r.stdout


def plant(tree, rel, line):
    with open(os.path.join(tree, rel), 'a') as f:
        f.write(f"\n{line}\n")


def redeclare(text, component, key, extra):
    """The manifest with `extra` added to one list of a component's line."""
    pattern = re.compile(rf'^(component {component} \S+ .*\b{key}=)(\S*)', re.M)
    assert pattern.search(text), f"no {key}= on {component}'s line"
    return pattern.sub(lambda m: m.group(1) + ','.join(x for x in (m.group(2), extra) if x), text)


with tempfile.TemporaryDirectory() as tmp:
    shutil.copytree(src, os.path.join(tmp, 'src'))
    shutil.copytree(platform, os.path.join(tmp, 'platform'))
    code, out = run(tmp, manifest)
    assert code == 0, f"unmodified copy fails:\n{out}"

    strays = [
        ('src/recovery/kernels/colmajor.h', '#include "frame/IFactoryPVSImpl.h"', 'component frame not declared'),
        ('src/timehistory/CPVSTHEngine.cpp', '#include "PVSVisualDataBase.h"', 'stand-in LMQ_pvs not declared'),
        ('src/visualdata/CPVSVisualDataLDFS.cpp', '#include <vtkCutter.h>', 'VTK module FiltersCore not declared'),
        ('src/design/CDlgBeamElementDesign.cpp', '#include <vtkPolyData.h>', 'VTK not declared'),
        ('platform/win32/src/win32_mapping.cpp', '#include "afxdlgs.h"', 'stand-in afx not declared by win32'),
        ('platform/KvrDesignCH/main.cpp', '#include "design/YRPRecords.h"', 'component design not declared'),
        ('src/timehistory/CPVSTHEngine.h', '#include "recovery/drivers/element_results.h"',
         'recovery_drivers is private to timehistory'),
    ]
    for rel, line, _ in strays:
        plant(tmp, rel, line)
    text = open(manifest).read()
    text = redeclare(text, 'planecut', 'deps', 'numerics')
    text = redeclare(text, 'timehistory', 'private', 'recovery_drivers')
    planted = os.path.join(tmp, 'manifest.txt')
    with open(planted, 'w') as f:
        f.write(text)
    strays.append(('planecut', '', 'component numerics declared by planecut but no file includes it'))

    code, out = run(tmp, planted)
    assert code == 1, f"stray includes pass:\n{out}"
    for rel, line, reason in strays:
        rel = rel.split('/', 1)[1] if '/' in rel else rel
        assert any(rel in l and reason in l for l in out.splitlines()), f"{rel}: '{reason}' not reported:\n{out}"
print("1 passed, 0 failed")
