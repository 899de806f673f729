// Plane-strain history (calculation-function code 4): one component of one 3-, 4-, 6- or
// 8-node plane-strain element (a nodal force, a stress or a strain at one position of the
// element) over all time steps, recomputed from the solver's result files by the element
// library in one call for the whole series. The history-graph dialog labels its value axis
// with the unit type of these results. Reports forces (four nodes) and stresses (the centre
// and four nodes); another report kind writes the stresses' header.
#pragma once
#include "timehistory/element_history.h"

class CPVSTHCalcPlstrnFunc : public kvpvs::timehistory::ElementHistoryFunc<kvpvs::timehistory::kPlaneStrainFamily, 5> {
};
