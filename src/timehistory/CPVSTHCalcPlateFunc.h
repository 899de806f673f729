// Plate history (calculation-function code 5): one component of one 3-, 4-, 6- or 8-node plate
// element (a nodal force or moment, a surface stress, a force or moment per unit length, at
// one position of the element) over all time steps, recomputed from the solver's result files
// by the element library in one call for the whole series. Reports forces (four nodes),
// stresses and unit forces (the centre and four nodes); no header for another report kind.
#pragma once
#include "timehistory/element_history.h"

class CPVSTHCalcPlateFunc : public kvpvs::timehistory::ElementHistoryFunc<kvpvs::timehistory::kPlateFamily, 5> {};
