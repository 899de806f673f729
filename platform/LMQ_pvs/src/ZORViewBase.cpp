#include "ZORViewBase.h"
#include "DisplayConnection.h"

#include <vtkRenderWindow.h>
#include <vtkRenderWindowInteractor.h>
#include <vtkRenderer.h>

IMPLEMENT_DYNAMIC(CZORViewBase, CView)

CZORViewBase::CZORViewBase()
    : m_pRenderer(vtkRenderer::New()), m_pRenderWindow(vtkRenderWindow::New()),
      m_pInteractor(vtkRenderWindowInteractor::New())
{
    m_pRenderWindow->SetOffScreenRendering(1);
    m_pRenderWindow->SetSize(320, 240);
    m_pRenderWindow->AddRenderer(m_pRenderer);
    m_pInteractor->SetRenderWindow(m_pRenderWindow);
}

CZORViewBase::~CZORViewBase()
{
    m_pInteractor->SetRenderWindow(nullptr);
    m_pInteractor->Delete();
    m_pRenderWindow->Finalize();
    m_pRenderWindow->Delete();
    m_pRenderer->Delete();
}

void CZORViewBase::Redraw()
{
    ++m_nRedraws;
    if (lmq::AttachDisplay(m_pRenderWindow))
        m_pRenderWindow->Render();
}
