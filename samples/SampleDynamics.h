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
    unsigned int nSoilK = 0;   // a soil hexahedron at that node (solid histories), 0 without soil
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
// force of the truss strut at the wall, with a wall plate that plate's centre moment Mxx per
// length and the normal force Fz at its first node, and with a soil element beside the wall its
// centre stress Sig-zz. Returns their keys, modal case first.
std::vector<unsigned int> StoreSampleHistoryFunctions(CDBDoc& doc, const DynamicsSummary& summary);

// Makes the shaking cases time-history analysis cases (type word 4, named) whose elements are
// listed by element-type code (trusses 1, beams 2, plates 5, solids 15), and stores for the
// history dialogs three result graphs in the post database (type 1: the strut node's DX,
// aNodeDX one value per step; type 6: the ground acceleration; type 2: the ground's velocity
// against its displacement) and a damped-sine forcing function. Part of BuildSampleDynamics.
void StoreSampleHistoryPlotData(CDBDoc& doc, const DynamicsOptions& opt, const std::vector<double>& aNodeDX);

// Modal coordinate of mode k (from 0) at time t: q = A sin(w t), with its velocity and
// acceleration in closed form.
void QuakeModalCoordinate(int k, double t, double& q, double& v, double& a);
// Ground motion along x at time t: displacement, velocity and acceleration.
void QuakeGroundMotion(double t, double& d, double& v, double& a);

} // namespace kvpvs::sample
