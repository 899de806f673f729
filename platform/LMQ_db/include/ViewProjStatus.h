// Stand-in for the host's record of a saved view-projection state: a name, two vectors, the
// viewing direction, a real value (the view's scale), a 2-D pair (the view's centre) and an
// integer (the projection kind). Choice: zero vectors, direction +Z, zero values by default.
#pragma once
#include <TCollection_ExtendedString.hxx>
#include <gp_Dir.hxx>
#include <gp_XY.hxx>
#include <gp_XYZ.hxx>

struct T_VIEW_PROJ_STATUS {
    TCollection_ExtendedString strName;
    gp_XYZ vFirst;
    gp_XYZ vSecond;
    gp_Dir dir;
    double dValue = 0.0;
    gp_XY pair;
    int nValue = 0;
};
