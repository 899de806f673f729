// Routines of the design text file's writers: its place in the program folder, the checker
// beside it, the unit switch of a design run, and the blocks both writers share (variant
// marker and unit block, the FILEPATH block, the lines of a design plane). Lines are written in
// text mode, so every line ends with the run-time's line end. What the writers write reads
// back as the same lines: names are written by the rules of NameInFile, and a row or plane with
// a number that is not finite or too long for a field is left out. Also the reader's entry on
// an open stream.
#pragma once
#include "core/ForceSumRecords.h"
#include "core/NotifyListener.h"

#include "design/DesignFileRecords.h"

#include "DBDoc.h"
#include "UnitCtrl.h"

#include <cstddef>
#include <cstdio>
#include <initializer_list>

namespace kvpvs::design {

// The reader takes a field of at most this many characters, its blanks trimmed, as one field.
inline constexpr size_t kFieldMax = 128;

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

// A name as the file holds it: each comma, which would split its field, becomes a semicolon;
// each line feed, which would end its line, a blank; a name longer than a field, its blanks
// trimmed, keeps its first kFieldMax bytes (less, so as not to split a UTF-8 character).
CString NameInFile(const CString& strName);
// Whether every value is finite and its "%.3f" text fits a field: a row with another value
// is not written.
bool AllWritable(std::initializer_list<double> values);

// Variant marker (beam or plate/solid) and the unit block, which names the units of
// CDesignUnitScope.
void WriteHeader(FILE* f, bool bBeam);
// Whether the document's path without its extension reads back as itself from the FILEPATH
// block. A writer asks before it opens the file; when it does not, the writer fails and writes
// nothing, as the format has no escape for what the reader would change.
bool ModelPathReadsBack(CDBDoc* pDoc);
// "*FILEPATH ; File Path" and the document's path without its extension.
void WriteFilePath(FILE* f, CDBDoc* pDoc);
void WriteEndData(FILE* f);

// Whether the plane line and every point are writable (AllWritable): a plane without is written
// as a plane without data, since its cells name its points.
bool PlaneIsWritable(const T_LCLDIR_PLNE_KVR_D& plane, const CPointInfoMap& mPoint);
// The plane line: name, origin (first vector), direction (second vector). The name opens the
// line: a first '*' (after blanks) is written as '+', and an empty or blank name as "Plane "
// and the plane's 1-based position nPlane, since the reader takes the one line for a keyword
// line and skips the other.
void WritePlaneLine(FILE* f, const T_LCLDIR_PLNE_KVR_D& plane, int nPlane);
// The POINT block: points 0 .. n - 1 as 1-based positions.
void WritePoints(FILE* f, const CPointInfoMap& mPoint);
// The CELL block of plate segments or of solid triangles, point ids as 1-based positions.
void WritePlateCells(FILE* f, const CPlateCellInfoMap& mCell);
void WriteSolidCells(FILE* f, const CSolidCellInfoMap& mCell);
// "*FORCESUM" with its column titles.
void WriteForceSumTitle(FILE* f);
// One force-sum row; the name in 21 columns for steps, in 16 for analysis cases. A sum with a
// component that is not writable has no row. The name opens the line as the plane's does; an
// empty or blank one is written as "Step " and the step's key nStepK.
void WriteForceSumRow(FILE* f, bool bStepWidth, const char* pszName, unsigned int nStepK, const T_FORCESUM_D& sum);

// The reader of CYRPC_DataTool::ReadDesignFile on an open text stream, into tables it does not
// clear first: 1 or 0 as that reader, 0 also when the stream reports a read error.
int ReadDesignText(FILE* f, T_YRP_CONVERT_TABLE_D& t);

} // namespace kvpvs::design
