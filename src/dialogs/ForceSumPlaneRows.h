// What the force-sum dialog and the plate/solid design dialog share about a stored force-sum
// plane: its cutting plane and axes as both dialogs list it, and the result rows of a step put
// into the twelve component slots of the force-sum display for the plane's element type.
#pragma once
#include "ClassLdfs.h"
#include "DBRecords.h"
#include "afxtempl.h"

namespace kvpvs::dialogs {

// Origin P1 and unit normal of a stored plane, and its axes as rows: normal, first and second
// in-plane axis. Solid: first = normalise(P2 - P1), normal = normalise(first x normalise(P3 -
// P1)), second = normal x first. Plate: first = X = normalise(P2 - P1), second = Q =
// normalise(normalise(P3 - P2) x X), normal = normalise(X x Q). False, with nothing set, when
// the points span no plane (a zero vector on the way, also the normal of a solid plane).
bool DeriveForceSumPlane(const T_LDFS_D& row, T_PVIST_PLNE_D& plane, double dAxis[3][3]);

// The twelve component rows of one step for a cut of element type nElemType (0 solid, 1 plate)
// from the step's rows aStepRowK (keys of CClassPVtif in pPostDB, in row order); all zero
// first. Null when at least one slot is filled, else the message id to show: no rows at all
// gives "IDS_KV_PVS_NO_RESULT_EXIST_CURRENT_STEP", no usable rows "IDS_KV_PVS_No_RESULT_CDFS".
const char* SelectForceSumRows(CDBBase* pPostDB, const CArray<unsigned int, unsigned int>& aStepRowK, int nElemType,
                               unsigned int aKeys[12]);

} // namespace kvpvs::dialogs
