#!/usr/bin/env python3
"""The layering check fails on a stray include: a copy of src/ passes as it is, then fails with
one stray include of each kind planted in it (a component above the folder, an undeclared
stand-in, an undeclared VTK module, VTK where none is declared)."""
import os
import shutil
import subprocess
import sys
import tempfile

check, manifest, src, vtk_hierarchy, occt_include = sys.argv[1:6]


def run(tree):
    r = subprocess.run([sys.executable, check, '--manifest', manifest, '--src', tree,
                        '--vtk-hierarchy', vtk_hierarchy, '--occt-include', occt_include],
                       capture_output=True, text=True)
    return r.returncode, r.stdout


def plant(tree, rel, line):
    with open(os.path.join(tree, rel), 'a') as f:
        f.write(f"\n{line}\n")


with tempfile.TemporaryDirectory() as tmp:
    tree = os.path.join(tmp, 'src')
    shutil.copytree(src, tree)
    code, out = run(tree)
    assert code == 0, f"unmodified copy fails:\n{out}"

    strays = [
        ('recovery/kernels/colmajor.h', '#include "frame/IFactoryPVSImpl.h"', 'component frame not declared'),
        ('timehistory/CPVSTHEngine.cpp', '#include "PVSVisualDataBase.h"', 'stand-in LMQ_pvs not declared'),
        ('visualdata/CPVSVisualDataLDFS.cpp', '#include <vtkCutter.h>', 'VTK module FiltersCore not declared'),
        ('design/CDlgBeamElementDesign.cpp', '#include <vtkPolyData.h>', 'VTK not declared'),
    ]
    for rel, line, _ in strays:
        plant(tree, rel, line)
    code, out = run(tree)
    assert code == 1, f"stray includes pass:\n{out}"
    for rel, line, reason in strays:
        assert any(rel in l and reason in l for l in out.splitlines()), f"{rel}: '{reason}' not reported:\n{out}"
print("1 passed, 0 failed")
