// Stand-in for the host's 2D drawing tool set (pixel frames, fills, lines, text): it draws
// nothing and records every call as one line of text, so that tests can read the drawing.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

class XGL_ToolSet {
public:
    std::vector<std::string> m_aCalls;
    int m_aViewport[4] = {0, 0, 800, 600};
    int m_aVirtualViewport[4] = {0, 0, 0, 0};

    void BeginText(const char* pszFont, int nSize) { Rec("BeginText %s %d", pszFont, nSize); }
    void EndText() { Rec("EndText"); }
    void Begin2D_pxl() { Rec("Begin2D_pxl"); }
    void End2D_pxl() { Rec("End2D_pxl"); }
    void Begin2D_Local_FromRT(int x, int y) { Rec("Begin2D_Local_FromRT %d %d", x, y); }
    void End2D_Local() { Rec("End2D_Local"); }
    void GetViewport(int v[4]) const
    {
        for (int k = 0; k < 4; ++k)
            v[k] = m_aViewport[k];
    }
    void SetVirtualViewport(const int v[4])
    {
        for (int k = 0; k < 4; ++k)
            m_aVirtualViewport[k] = v[k];
        Rec("SetVirtualViewport %d %d %d %d", v[0], v[1], v[2], v[3]);
    }
    void SetBlend() { Rec("SetBlend"); }
    void ResetBlend() { Rec("ResetBlend"); }
    void SetColor3(double r, double g, double b) { Rec("SetColor3 %.4f %.4f %.4f", r, g, b); }
    void SetColor4(double r, double g, double b, double a) { Rec("SetColor4 %.4f %.4f %.4f %.4f", r, g, b, a); }
    void DrawRectFill(int x1, int y1, int x2, int y2) { Rec("DrawRectFill %d %d %d %d", x1, y1, x2, y2); }
    void DrawRect(int x1, int y1, int x2, int y2) { Rec("DrawRect %d %d %d %d", x1, y1, x2, y2); }
    void DrawLine(int x1, int y1, int x2, int y2) { Rec("DrawLine %d %d %d %d", x1, y1, x2, y2); }
    void TextToWindow(int x, int y, const char* psz) { Rec("TextToWindow %d %d [%s]", x, y, psz); }

private:
    template <class... A>
    void Rec(const char* pszFormat, A... a)
    {
        if constexpr (sizeof...(A) == 0) {
            m_aCalls.emplace_back(pszFormat);
        } else {
            char buf[512];
            std::snprintf(buf, sizeof(buf), pszFormat, a...);
            m_aCalls.emplace_back(buf);
        }
    }
};
