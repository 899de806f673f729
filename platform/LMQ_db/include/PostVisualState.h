// Stand-in for the host's current visual and animation states.
#pragma once
#include "afxtempl.h"

#include <vector>

struct T_PVIST_VALS_D {
    int bShow = 0;
    int nDecimal = 0;
    int bExponential = 0;
};

struct T_PVIST_ALL_D {
    int bAverage = 1;      // node-averaged contours (visual method 1) or element values (2)
    int nAverageMode = 1;  // 1 average, 2 max, 3 min, 4 largest |.|, 5 smallest |.|
    int nScalarOption = 0;
    double dDeformScale = 1.0;
    int bRealDeform = 0;
    int nFontSize = 12;
    T_PVIST_VALS_D vals;
    unsigned int nColor = 0x00C0C0C0;      // colour of the model drawing, 0x00BBGGRR
    int nDispMode = 1;                     // display mode of the model drawing (2 surface, 3 feature edges)
    unsigned int nLabelColor = 0x00000000; // colour of labels
    int nLineWidth = 1;                    // width of the model outline
    int nShapeMode = 0;                    // 3: the undeformed shape is drawn under the result
    // Legend: switch, size in pixels, placement ratios in the client area, top offset.
    int bLegend = 1;
    int nLegendWidth = 180;
    int nLegendHeight = 300;
    double dLegendRatioX = 0.0;
    double dLegendRatioY = 0.0;
    int nLegendTop = 0;
    unsigned int nLegendTextColor = 0x00000000;    // 0x00BBGGRR
    unsigned int nLegendPercentColor = 0x00000000; // 0x00BBGGRR
    unsigned int nLegendBkColor = 0x00FFFFFF;      // 0x00BBGGRR
    int nLegendBkMode = 1;                         // 2 translucent, 3 opaque, other none
    int bLegendPercent = 0;
    // Colour list of the user's own colour table, 0x00BBGGRR each.
    std::vector<unsigned int> aUserColors;
};

// Miscellaneous display settings ("etc."): the colour, width and feature angle of cut, section
// and feature-edge drawings.
struct T_PVIST_PETC_D {
    unsigned int nColor = 0x000000FF;      // 0x00BBGGRR
    int nWidth = 1;
    double dFeatureAngle = 30.0;           // degrees
    double dSymbolScale = 1.0;             // scale of point symbols
    int nInactiveDisp = 1;                 // display of inactive elements: 2-6 styles 1-5, other none
};

struct T_PVIST_SYMB_D {
    double dDgrmScale = 1.0;
    int bDgrmReverse = 0;
    int nInactiveDisp = 2;
    int nSymbolOption = 0;                 // passed to the point symbols' value reads
};

struct T_PVIST_ANIM_D {
    int bAnimate = 0;
    double dPhase = 0.0;
};

class CPostVisualState {
public:
    static CPostVisualState* Instance();
    T_PVIST_ALL_D* GetCurrentPA() { return &m_all; }
    T_PVIST_ANIM_D* GetCurrentPAnim() { return &m_anim; }
    T_PVIST_SYMB_D* GetCurrentPS() { return &m_symb; }
    T_PVIST_PETC_D* GetCurrentPE() { return &m_etc; }
    void GetCompCombKeyList(CArray<unsigned int, unsigned int>& aKeys) const { aKeys.Copy(m_aCompComb); }
    CArray<unsigned int, unsigned int>& CompCombKeys() { return m_aCompComb; }

private:
    T_PVIST_ALL_D m_all;
    T_PVIST_ANIM_D m_anim;
    T_PVIST_SYMB_D m_symb;
    T_PVIST_PETC_D m_etc;
    CArray<unsigned int, unsigned int> m_aCompComb;
};
