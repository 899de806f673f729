// Stand-in for the product's post-control helper. Global2UcsComp3 rewrites a global vector in
// the axes of a user coordinate system; choice: the axes are the rows of the matrix as given
// (not normalised), so the result is the projection of the vector on each row.
#pragma once

class CPostCtrlGeoTechHelperBase {
public:
    static void Global2UcsComp3(double v[3], const double dAxis[3][3])
    {
        const double x = v[0], y = v[1], z = v[2];
        for (int i = 0; i < 3; ++i)
            v[i] = dAxis[i][0] * x + dAxis[i][1] * y + dAxis[i][2] * z;
    }
};
