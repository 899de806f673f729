// Stand-in for the host's post-processing view: a view window with a VTK renderer, its render
// window and interactor, on which widgets are placed and VTK interaction is switched.
// Choices: the render window is offscreen (an X server is still needed to render); the view
// counts its redraws; the interactor is initialised but never started; the work-plane grid is
// off until the host switches it on.
#pragma once
#include "afxwin.h"

class vtkRenderer;
class vtkRenderWindow;
class vtkRenderWindowInteractor;

class CZORViewBase : public CView {
    DECLARE_DYNAMIC(CZORViewBase)
public:
    CZORViewBase();
    ~CZORViewBase() override;

    vtkRenderer* GetRenderer() const { return m_pRenderer; }
    vtkRenderWindow* GetRenderWindow() const { return m_pRenderWindow; }
    vtkRenderWindowInteractor* GetInteractor() const { return m_pInteractor; }

    // The view's own mouse interaction with the VTK scene (widgets get the events while on).
    void SetVTKInteraction(int bOn) { m_bVTKInteraction = bOn; }
    int GetVTKInteraction() const { return m_bVTKInteraction; }
    // Renders the scene once.
    void Redraw();
    int GetRedrawCount() const { return m_nRedraws; }
    // Whether the view shows the work plane's grid.
    int IsGridOn() const { return m_bGridOn; }
    void SetGridOn(int bOn) { m_bGridOn = bOn; }

private:
    vtkRenderer* m_pRenderer;
    vtkRenderWindow* m_pRenderWindow;
    vtkRenderWindowInteractor* m_pInteractor;
    int m_bVTKInteraction = 0;
    int m_nRedraws = 0;
    int m_bGridOn = 0;
};
