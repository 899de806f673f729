// Plane-strain history (calculation-function code 4). For now only the unit type of its
// results, which the history-graph dialog labels its value axis with; the function itself comes
// with the plane-strain element family.
#pragma once

class CPVSTHCalcPlstrnFunc {
public:
    // Unit type of a 1-based result kind: forces 2, stresses 17, strains 0 (no unit), else 1.
    static int GetResultUnitType(int nKind, int nComponent);
};
