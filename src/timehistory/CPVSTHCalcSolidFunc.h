// Solid history (calculation-function code 6): one component of one 4-, 6-, 8-, 10-, 15- or
// 20-node solid element (a nodal force, a stress or a strain at one position of the element)
// over all time steps, recomputed from the solver's result files by the element library in
// one call for the whole series. The history-graph dialog labels its value axis with the unit
// type of these results. Reports forces (eight nodes: a quadratic solid's first eight) and
// stresses (the centre and eight nodes); another report kind writes the stresses' header.
#pragma once
#include "timehistory/element_history.h"

class CPVSTHCalcSolidFunc : public kvpvs::timehistory::ElementHistoryFunc<kvpvs::timehistory::kSolidFamily, 9> {};
