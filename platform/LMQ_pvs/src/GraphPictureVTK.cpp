#include "GraphPictureVTK.h"
#include "DisplayConnection.h"

#include <vtkActor2D.h>
#include <vtkCellArray.h>
#include <vtkPNGWriter.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkPolyDataMapper2D.h>
#include <vtkProperty2D.h>
#include <vtkRenderWindow.h>
#include <vtkRenderer.h>
#include <vtkSmartPointer.h>
#include <vtkTextActor.h>
#include <vtkTextProperty.h>
#include <vtkWindowToImageFilter.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Plot area inside the picture, in pixels from the lower left corner.
struct Frame {
    double x0, y0, x1, y1;         // pixels
    double xmin, xmax, ymin, ymax; // data
    double Px(double x) const { return x0 + (x - xmin) / (xmax - xmin) * (x1 - x0); }
    double Py(double y) const { return y0 + (y - ymin) / (ymax - ymin) * (y1 - y0); }
};

// Grows [lo, hi] by a margin; a single value gets a unit around it.
void Pad(double& lo, double& hi)
{
    double d = hi - lo;
    if (!(d > 0.0))
        d = lo != 0.0 ? std::fabs(lo) * 0.2 : 1.0;
    lo -= 0.05 * d;
    hi += 0.05 * d;
}

// A step of 1, 2 or 5 times a power of ten giving about five intervals.
double TickStep(double range)
{
    const double raw = range / 5.0;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / p;
    return (f < 1.5 ? 1.0 : f < 3.5 ? 2.0 : f < 7.5 ? 5.0 : 10.0) * p;
}

class Canvas {
public:
    explicit Canvas(vtkRenderer* r) : m_r(r) {}
    void Lines(const std::vector<std::pair<double, double>>& pts, bool bClosed, const double rgb[3], double width)
    {
        if (pts.size() < 2)
            return;
        auto points = vtkSmartPointer<vtkPoints>::New();
        auto cells = vtkSmartPointer<vtkCellArray>::New();
        for (const auto& [x, y] : pts)
            points->InsertNextPoint(x, y, 0.0);
        const vtkIdType n = static_cast<vtkIdType>(pts.size());
        cells->InsertNextCell(bClosed ? n + 1 : n);
        for (vtkIdType i = 0; i < n; ++i)
            cells->InsertCellPoint(i);
        if (bClosed)
            cells->InsertCellPoint(0);
        Add(points, cells, rgb, width);
    }
    void Segment(double xa, double ya, double xb, double yb, const double rgb[3], double width)
    {
        Lines({{xa, ya}, {xb, yb}}, false, rgb, width);
    }
    void Text(const std::string& s, double x, double y, int nSize, int hJust, int vJust, double angle = 0.0)
    {
        auto t = vtkSmartPointer<vtkTextActor>::New();
        t->SetInput(s.c_str());
        t->SetPosition(x, y);
        vtkTextProperty* p = t->GetTextProperty();
        p->SetFontSize(nSize);
        p->SetColor(0.0, 0.0, 0.0);
        p->SetJustification(hJust);
        p->SetVerticalJustification(vJust);
        p->SetOrientation(angle);
        m_r->AddActor2D(t);
    }

private:
    void Add(vtkPoints* points, vtkCellArray* cells, const double rgb[3], double width)
    {
        auto poly = vtkSmartPointer<vtkPolyData>::New();
        poly->SetPoints(points);
        poly->SetLines(cells);
        auto mapper = vtkSmartPointer<vtkPolyDataMapper2D>::New();
        mapper->SetInputData(poly);
        auto actor = vtkSmartPointer<vtkActor2D>::New();
        actor->SetMapper(mapper);
        actor->GetProperty()->SetColor(rgb[0], rgb[1], rgb[2]);
        actor->GetProperty()->SetLineWidth(static_cast<float>(width));
        m_r->AddActor2D(actor);
    }
    vtkRenderer* m_r;
};

std::string Number(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", std::fabs(v) < 1e-12 ? 0.0 : v);
    return buf;
}

} // namespace

void CGraphPictureVTK::SetTitles(const char* pszTitle, const char* pszX, const char* pszY)
{
    m_strTitle = pszTitle ? pszTitle : "";
    m_strX = pszX ? pszX : "";
    m_strY = pszY ? pszY : "";
}

BOOL CGraphPictureVTK::SavePNG(const char* pszPath) const
{
    if (!pszPath || m_nWidth < 200 || m_nHeight < 150)
        return FALSE;
    constexpr double inf = std::numeric_limits<double>::infinity();
    Frame f{90.0, 70.0, m_nWidth - 30.0, m_nHeight - 50.0, inf, -inf, inf, -inf};
    auto take = [&](const std::vector<std::vector<T_GRPH_D>>& sets) {
        for (const auto& set : sets)
            for (const T_GRPH_D& p : set)
                if (std::isfinite(p.dX) && std::isfinite(p.dY)) {
                    f.xmin = std::min(f.xmin, p.dX);
                    f.xmax = std::max(f.xmax, p.dX);
                    f.ymin = std::min(f.ymin, p.dY);
                    f.ymax = std::max(f.ymax, p.dY);
                }
    };
    take(m_aPoints);
    take(m_aCurves);
    if (!(f.xmin <= f.xmax))
        return FALSE;
    Pad(f.xmin, f.xmax);
    Pad(f.ymin, f.ymax);

    auto renderer = vtkSmartPointer<vtkRenderer>::New();
    renderer->SetBackground(1.0, 1.0, 1.0);
    auto window = vtkSmartPointer<vtkRenderWindow>::New();
    window->SetOffScreenRendering(1);
    window->SetSize(m_nWidth, m_nHeight);
    window->AddRenderer(renderer);
    Canvas c(renderer);

    const double black[3] = {0.0, 0.0, 0.0}, grey[3] = {0.85, 0.85, 0.85}, blue[3] = {0.1, 0.3, 0.8},
                 red[3] = {0.85, 0.1, 0.1}, green[3] = {0.1, 0.6, 0.2};
    // Grid and tick labels.
    const double sx = TickStep(f.xmax - f.xmin), sy = TickStep(f.ymax - f.ymin);
    for (double t = std::ceil(f.xmin / sx) * sx; t <= f.xmax; t += sx) {
        c.Segment(f.Px(t), f.y0, f.Px(t), f.y1, grey, 1.0);
        c.Text(Number(t), f.Px(t), f.y0 - 8.0, 14, VTK_TEXT_CENTERED, VTK_TEXT_TOP);
    }
    for (double t = std::ceil(f.ymin / sy) * sy; t <= f.ymax; t += sy) {
        c.Segment(f.x0, f.Py(t), f.x1, f.Py(t), grey, 1.0);
        c.Text(Number(t), f.x0 - 8.0, f.Py(t), 14, VTK_TEXT_RIGHT, VTK_TEXT_CENTERED);
    }
    c.Lines({{f.x0, f.y0}, {f.x1, f.y0}, {f.x1, f.y1}, {f.x0, f.y1}}, true, black, 1.5);

    for (const auto& curve : m_aCurves) {
        std::vector<std::pair<double, double>> run;
        for (const T_GRPH_D& p : curve) {
            if (std::isfinite(p.dX) && std::isfinite(p.dY)) {
                run.emplace_back(f.Px(p.dX), std::clamp(f.Py(p.dY), f.y0, f.y1));
            } else {
                c.Lines(run, false, blue, 2.0);
                run.clear();
            }
        }
        c.Lines(run, false, blue, 2.0);
    }
    for (const auto& set : m_aPoints)
        for (const T_GRPH_D& p : set)
            if (std::isfinite(p.dX) && std::isfinite(p.dY)) {
                const double x = f.Px(p.dX), y = f.Py(p.dY), h = 4.0;
                c.Lines({{x - h, y - h}, {x + h, y - h}, {x + h, y + h}, {x - h, y + h}}, true, red, 2.0);
            }
    for (double x : m_aMarks)
        if (std::isfinite(x) && x >= f.xmin && x <= f.xmax)
            c.Segment(f.Px(x), f.y0, f.Px(x), f.y1, green, 1.5);

    c.Text(m_strTitle, 0.5 * (f.x0 + f.x1), m_nHeight - 15.0, 18, VTK_TEXT_CENTERED, VTK_TEXT_TOP);
    c.Text(m_strX, 0.5 * (f.x0 + f.x1), 12.0, 15, VTK_TEXT_CENTERED, VTK_TEXT_BOTTOM);
    c.Text(m_strY, 18.0, 0.5 * (f.y0 + f.y1), 15, VTK_TEXT_CENTERED, VTK_TEXT_CENTERED, 90.0);

    if (!lmq::AttachDisplay(window))
        return FALSE;
    window->Render();
    auto grab = vtkSmartPointer<vtkWindowToImageFilter>::New();
    grab->SetInput(window);
    grab->Update();
    auto writer = vtkSmartPointer<vtkPNGWriter>::New();
    writer->SetFileName(pszPath);
    writer->SetInputConnection(grab->GetOutputPort());
    writer->Write();
    return writer->GetErrorCode() == 0;
}
