// The sample project: a braced excavation in layered soil, built by code into a document.
// Half model, x = 0 the pit's centre line: soil of hexahedra in three layers, a diaphragm wall of
// plates in the plane x = 10, struts (beams above, trusses below) from the wall to the centre
// line, a pile under the pit, four construction stages, and result rows with their values for
// every branch of the result-display factory. The vocabulary is in SampleSchema.h.
#pragma once
#include "SampleMesh.h"

#include <string>
#include <vector>

namespace kvpvs::sample {

struct SampleOptions {
    int nRefine = 1;                 // cells per grid interval (1: 2.0 m in plan, 1.5 m in depth)
    bool bResultsEveryStage = true;  // displacement and stress rows for every stage, not only the last
    double dShift[3] = {0, 0, 0};    // the whole model moved by this (projected coordinates)
};

struct SoilLayer {
    std::string strName;
    double dTop = 0.0, dBottom = 0.0; // elevations [m]
    unsigned int nGmatK = 0;
    KeyRange elems;
};

// Lengths here are the sample's own, without the options' shift.
struct SampleSummary {
    SampleGrid grid;
    KeyRange nodes;
    std::vector<SoilLayer> layers;   // from the top
    KeyRange soil;                   // all soil elements (layers in order)
    KeyRange wall;                   // plates in the plane x = dWallX
    KeyRange beamStruts, trussStruts, piles;
    double dWallX = 10.0, dWallBottom = -15.0;
    double dPlanArea = 0.0;          // x extent × y extent
    std::vector<unsigned int> aStageK; // construction stages, in order
    unsigned int nDummyStepK = 0;    // step of the combination rows
    std::vector<unsigned int> aRowK; // every result row, ascending
    unsigned int nPileTipNodeK = 0;
};

// Builds the project into a document whose model database holds no nodes. FALSE, with the
// reason in pError when given and nothing written, when it does or the options are out of range.
BOOL BuildSampleProject(CDBDoc& doc, const SampleOptions& opt, SampleSummary& summary,
                        std::string* pError = nullptr);

// Closed-form fields the result rows are sampled from; exposed so tests can check the rows.
struct SampleFields {
    double dExcavation = 9.0;  // depth of the pit at the stage [m]
    // Translation [m] at a point.
    void Displacement(const double p[3], double u[3]) const;
    // Stress tensor [kN/m2] (compression negative): xx, yy, zz, xy, yz, zx.
    void Stress(const double p[3], double s[6]) const;
    // Total head [m] and its gradient around the wall tip.
    double Head(const double p[3], double grad[3]) const;
};

// Principal values (descending) of a symmetric tensor xx, yy, zz, xy, yz, zx by Jacobi rotation;
// the columns of dir are the unit directions.
void PrincipalValues(const double s[6], double val[3], double dir[3][3]);

} // namespace kvpvs::sample
