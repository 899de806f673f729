// Plane-stress history: one component of one 3-, 4-, 6- or 8-node plane-stress element (a
// nodal force or a stress at one position) over all time steps, as the plane-strain function
// computes its own; it has no strains. No calculation-function code makes it: the factory
// offers plane-stress elements no history, and only a caller that constructs it directly gets
// one.
#pragma once
#include "timehistory/element_history.h"

class CPVSTHCalcPlstrsFunc : public kvpvs::timehistory::ElementHistoryFunc<kvpvs::timehistory::kPlaneStressFamily, 5> {
};
