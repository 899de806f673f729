// Crack-state ("event") rows of the sample's beam struts at the last stage: the line-event
// rows of both code families (class 30, codes 80001 and 80101) with the force rows they take
// their band from (3008 per entity, the first of another entity listed before it, and 5001).
// The states follow the distance from the pit's centre line; the forces are the struts' self-
// weight moment (3008) and axial force (5001). Exposed for the tests and the demo.
#pragma once
#include "SampleProject.h"

namespace kvpvs::sample {

struct EventRows {
    unsigned int nEvent1K = 0;       // code 80001 (family 1)
    unsigned int nEvent2K = 0;       // code 80101 (family 2)
    unsigned int nForce3008K = 0;    // companion of nEvent1K: same entity
    unsigned int nOther3008K = 0;    // 3008 of another entity, listed first
    unsigned int nForce5001K = 0;    // companion of nEvent2K
    unsigned int nEntityK = 0;       // entity of the event rows
    std::vector<unsigned int> aElemK; // beam struts carrying states, ascending
};

// The state at a point of a strut at distance x [m] from the centre line: 0 elastic below
// 2.5 m, 1 crack below 5 m, 2 yielding below 7.5 m, 3 crushing beyond.
double StrutEventState(double x);

// Adds the rows to a document holding the sample project and their keys to summary.aRowK.
// FALSE when the project has no beam struts or no stages.
BOOL AddEventRows(CDBDoc& doc, SampleSummary& summary, EventRows& rows);

} // namespace kvpvs::sample
