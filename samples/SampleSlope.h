// The sample project's slope-stability results and work planes: the section y = 0 through the
// pit (the X-Z plane) with the ground line of the pit's floor, the wall and the ground behind it;
// one case with a 4 x 3 grid of trial centres behind the wall and three radii (circles that do
// not reach the ground on both sides have no factor), one with two polyline slip surfaces. The
// document's data tree gets two work planes: "Current WorkPlane" (the section, also the
// document's current work plane) and a horizontal one at ground level.
#pragma once
#include "DBDoc.h"

#include <gp_Ax3.hxx>

#include <vector>

namespace kvpvs::sample {

struct SlopeSummary {
    unsigned int nCircleCaseK = 0;
    unsigned int nPolylineCaseK = 0;
    unsigned int nLegrK = 0;
    std::vector<unsigned int> aLeplK;
    std::vector<double> aCircleFactor;   // per circle, centre-major; 0 where none
    std::vector<double> aPolylineFactor;
    int nCurrentPlaneTag = 0;
    int nGroundPlaneTag = 0;
};

// Writes a work plane into the work-space branch of the document tree under the tag, as the host
// stores one: name, kind 0 and list lengths, placement, the grid origin pair (0, 0) followed by
// the two grid lists. Returns the tag.
int WriteSampleWorkPlane(CDBDoc& doc, int nTag, const char* pszName, const gp_Ax3& ax, const std::vector<double>& l1,
                         const std::vector<double>& l2);

// Factor of safety of a trial circle (model units): a smooth bowl around the critical circle.
double SampleCircleFactor(double a, double b, double r);

// Writes the slope cases (keys after the existing ones) and the work planes. FALSE when the
// document has no post control to hold the factors.
BOOL BuildSampleSlope(CDBDoc& doc, SlopeSummary& sum);

} // namespace kvpvs::sample
