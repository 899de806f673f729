// The element histories' tables, one of each, shared by the calculation functions and the
// history-plot value source: the row of the library's per-step result vector that holds a
// component (1-based; p the 0-based position, c the 0-based component, k the 1-based result
// kind), the unit type a component is converted with, and one family table per element family
// that the element history template (element_history.h) is made from.
#pragma once

namespace kvpvs::timehistory {

// Rows of plane-strain (3, 4 / 6, 8 nodes), solid (4, 6, 8 / 10, 15, 20) and plate (3, 4 / 6, 8)
// elements; row 1 for another node count or result kind.
int PlstrnRow(int nNodes, int k, int p, int c);
int SolidRow(int nNodes, int k, int p, int c);
int PlateRow(int nNodes, int k, int p, int c);
// Plane stress (3, 4 / 6, 8 nodes): forces three per node, stresses three per position.
int PlstrsRow(int nNodes, int k, int p, int c);

// Unit types: forces, stresses, strains (no unit) by result kind alone for plane-strain and
// solid elements; plates by kind and component (forces and moments, stresses, forces and
// moments per length); 1 for anything else.
int PlstrnUnitType(int k, int c);
int SolidUnitType(int k, int c);
int PlateUnitType(int k, int c);
// Plane stress: forces and stresses; it has no strains.
int PlstrsUnitType(int k, int c);

// One report kind of an element family: its text (message id), columns, positions, the two
// header lines and the rule that closes the step lines (with its empty line).
struct ElementReportKind {
    const char* pszTextId;
    int nCols;
    int nPositions;
    bool bCentre; // positions start at the centre ("C"), else at the first node
    const char* pszHead;
    const char* pszRule;
    const char* pszClose;
};

struct ElementReportLayout {
    const char* pszTitle;      // printf format with one %s (an empty text)
    const char* pszElemHeadId; // message id: element key, kind text, length and force unit labels
    const char* pszSummaryId;  // message id: kind text
    const char* pszKeyPrefix;  // summary key rows
    const char* pszFirstKeyCell;
    int nKinds;
    ElementReportKind kinds[3];
};

// What an element family's history function is made of: the element library's family (its
// kinds by node count), the row and unit-type tables, and the text report's layout. A report
// kind outside the layout's writes the column header of nOtherKindHeader (-1: none).
struct ElementFamilyTable {
    int nFamily;
    int (*row)(int nNodes, int k, int p, int c);
    int (*unitType)(int k, int c);
    int nOtherKindHeader;
    ElementReportLayout layout;
};

extern const ElementFamilyTable kPlaneStressFamily;
extern const ElementFamilyTable kPlaneStrainFamily;
extern const ElementFamilyTable kPlateFamily;
extern const ElementFamilyTable kSolidFamily;

} // namespace kvpvs::timehistory
