// The sample project's dynamic analysis: the braced excavation shaken along x, as a time-history
// analysis of a few modes stored twice, once for modal superposition and once for direct
// integration of the same motion, so that both readings of a history agree. The struts carry
// equation numbers, mode shapes and member recovery arrays; the results are written with the
// host's time-history builder into the document that BuildSampleProject filled.
#pragma once
#include "DBDoc.h"

#include <string>
#include <vector>

namespace kvpvs::sample {

// Analysis cases of the shaking and their time-history cases.
constexpr unsigned int kAcasQuakeModal = 501, kAcasQuakeDirect = 502;
constexpr unsigned int kThisQuakeModal = 501, kThisQuakeDirect = 502;

struct DynamicsOptions {
    int nModes = 4;       // 1 to 8
    int nSteps = 400;     // time steps t = dt, 2 dt, ...
    double dDt = 0.01;    // [s]
};

struct DynamicsSummary {
    unsigned int nNodeK = 0;   // the wall-side node of the first beam strut (displacement history)
    unsigned int nTrussK = 0;  // the wall-side truss strut element
    unsigned int nBeamK = 0;   // the wall-side beam strut element
    unsigned int nPlateK = 0;  // a wall plate at that node (plate histories), 0 without plates
    int nEquations = 0;
    int nModes = 0, nSteps = 0;
};

// Adds both time-history cases to a document holding the sample project, with the stored
// history functions of each (StoreSampleHistoryFunctions). FALSE, with the reason in pError
// when given and nothing written, when the options are out of range, the struts are missing or
// the cases exist already.
BOOL BuildSampleDynamics(CDBDoc& doc, const DynamicsOptions& opt, DynamicsSummary& summary,
                         std::string* pError = nullptr);

// The stored time-history functions of both shaking cases, as the user defined them in the
// host's editor: per case the x displacement of the strut node at the wall, the end-I axial
// force of the truss strut at the wall and, with a wall plate, that plate's centre moment Mxx
// per length and the normal force Fz at its first node. Returns their keys, modal case first.
std::vector<unsigned int> StoreSampleHistoryFunctions(CDBDoc& doc, const DynamicsSummary& summary);

// Modal coordinate of mode k (from 0) at time t: q = A sin(w t), with its velocity and
// acceleration in closed form.
void QuakeModalCoordinate(int k, double t, double& q, double& v, double& a);
// Ground motion along x at time t: displacement, velocity and acceleration.
void QuakeGroundMotion(double t, double& d, double& v, double& a);

} // namespace kvpvs::sample
