// Stand-in for the host's picture-batch view record: how the document renders and writes the
// pictures of a batch (picture kind, views, shape, contour range, scales, image format).
#pragma once

struct T_VIEW_STATUS {
    enum { VIEW_COUNT = 9 }; // Iso, Iso1, Front, Rear, Top, Bottom, Left, Right, Current

    int nImageType = 0; // 0 contour, 1 vector, 2 contour and vector, 3 diagram
    int aViews[VIEW_COUNT] = {};
    int nShapeMode = 0;    // 0 undeformed, 1 deformed, 2 deformed with undeformed
    int nDeformedData = 0; // 1 DX, 2 DY, 3 DZ, 10 DXYZ; 0 for the undeformed shape
    int bAutoRange = 1;
    double dMax = 0.0;
    double dMin = 0.0;
    int nDivisions = 16;
    double dVectorScale = 1.0;
    double dDiagramScale = 1.0;
    int bRealDisp = 0;
    double dDeformScale = 1.0;
    int nImageFormat = 0; // 0 PNG, 1 JPG, 2 BMP

    void Initialize() { *this = T_VIEW_STATUS(); }
};
