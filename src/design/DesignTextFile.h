// Routines of the design text file's writers: its place in the program folder, the checker
// beside it, the unit switch of a design run, and the blocks both writers share (variant
// marker and unit block, the FILEPATH block, the lines of a design plane). Lines are written in
// text mode, so every line ends with the run-time's line end.
#pragma once
#include "frame/core/ForceSumRecords.h"
#include "frame/core/NotifyListener.h"

#include "DBDoc.h"
#include "UnitCtrl.h"

#include <cstdio>

namespace kvpvs::design {

// "%sKvrDesign.txt" with the folder of the program path (ending in its separator).
CString DesignFilePath(CDBDoc* pDoc);
// The program path followed by "KvrDesignCH.exe".
CString CheckerPath(CDBDoc* pDoc);
// Starts the checker with an empty parameter text; no path is passed.
void RunChecker(CDBDoc* pDoc);

// Makes millimetres and newtons (length 0, force 2, the host's entries kept) the document's
// unit index for its lifetime and restores the saved index on every way out.
class CDesignUnitScope {
public:
    explicit CDesignUnitScope(CDBDoc* pDoc);
    ~CDesignUnitScope();
    CDesignUnitScope(const CDesignUnitScope&) = delete;
    CDesignUnitScope& operator=(const CDesignUnitScope&) = delete;

private:
    CUnitCtrl* m_pUnit = nullptr;
    int m_nSaved[4] = {0, 0, 0, 0};
};

// The names of the current force and length units (empty without a unit control).
CString ForceUnitName(CDBDoc* pDoc);
CString LengthUnitName(CDBDoc* pDoc);

// Variant marker (beam or plate/solid) and the unit block.
void WriteHeader(FILE* f, bool bBeam, const char* pszForce, const char* pszLength);
// "*FILEPATH ; File Path" and the document's path without its extension.
void WriteFilePath(FILE* f, CDBDoc* pDoc);
void WriteEndData(FILE* f);

// The plane line: name, origin (first vector), direction (second vector).
void WritePlaneLine(FILE* f, const T_LCLDIR_PLNE_KVR_D& plane);
// The POINT block: points 0 .. n - 1 as 1-based positions.
void WritePoints(FILE* f, const CPointInfoMap& mPoint);
// The CELL block of plate segments or of solid triangles, point ids as 1-based positions.
void WritePlateCells(FILE* f, const CPlateCellInfoMap& mCell);
void WriteSolidCells(FILE* f, const CSolidCellInfoMap& mCell);
// "*FORCESUM" with its column titles.
void WriteForceSumTitle(FILE* f);
// One force-sum row; the name in 21 columns for steps, in 16 for analysis cases.
void WriteForceSumRow(FILE* f, bool bStepWidth, const char* pszName, const T_FORCESUM_D& sum);

} // namespace kvpvs::design
