// Solid history (calculation-function code 6). For now only the unit type of its results, which
// the history-graph dialog labels its value axis with; the function itself comes with the solid
// element families.
#pragma once

class CPVSTHCalcSolidFunc {
public:
    // Unit type of a 1-based result kind: forces 2, stresses 17, strains 0 (no unit), else 1.
    static int GetResultUnitType(int nKind, int nComponent);
};
