// Facts of the sample project that more than one demo step needs.
#pragma once
#include "DBDoc.h"
#include "PVSMeshMngrBrdg.h"

#include "timehistory/CPVSTHEngine.h"

#include <dlfcn.h>

#include <array>
#include <functional>
#include <memory>

#include <new>
#include <vector>

// The shift of the sample project (the host's --shift): every point the demo types in model
// coordinates is moved by it, as a user of the moved model would type it.
void SetSampleShift(const double d[3]);
const double* SampleShift();
// The point (x, y, z) of the unshifted sample moved by the shift.
inline std::array<double, 3> Moved(double x, double y, double z)
{
    return {x + SampleShift()[0], y + SampleShift()[1], z + SampleShift()[2]};
}

// Gives every step with force-sum rows its host step record (the dialog lists steps from them,
// the report names them) and returns the last such step's key, 0 when there is none.
unsigned int EnsureForceSumStepRecords(CDBDoc& doc);

// The newest window related to pOwner whose run-time class is pszClass; null when there is none.
CWnd* FindOwnedWindow(CWnd* pOwner, const char* pszClass);

// Builds the sample's shaking cases and their stored functions and graphs unless an earlier step
// did; false (the reason printed) when they could not be built.
bool EnsureSampleDynamics(CDBDoc& doc);

// A view of the demo host below its main window's bar, the document's active view until the
// scope ends.
template <class TView = CView>
class DemoView {
public:
    explicit DemoView(CDBDoc& doc) : m_doc(doc), m_pBefore(doc.GetActiveView())
    {
        m_view.CreateWindowCore(nullptr);
        m_view.MoveWindow(0, 120, 1000, 750);
        doc.SetActiveView(&m_view);
    }
    ~DemoView()
    {
        m_doc.SetActiveView(m_pBefore);
        m_view.DestroyWindow();
    }
    DemoView(const DemoView&) = delete;
    DemoView& operator=(const DemoView&) = delete;
    TView& Get() { return m_view; }

private:
    CDBDoc& m_doc;
    CView* m_pBefore;
    TView m_view;
};

// Selects the entry of a combo box whose text is pszText, as the user would.
bool SelectByText(CWnd* pDlg, UINT nID, const char* pszText);

// Picks a colour in a colour button of the dialog, as the user would in its colour picker.
void PickColour(CWnd* pDlg, UINT nID, COLORREF c);

// The names under which the dialogs list a step and its result set; false without their records.
bool StepNames(CDBDoc& doc, unsigned int nStepK, CString& strSet, CString& strStep);

// The flow-path dialog opened through the module's launcher beside the view, the result set and
// the step chosen by name; null when it did not open or does not offer them.
CWnd* OpenFlowPathDialog(CView& view, const CString& strSet, const CString& strStep);
// Types a start point into the flow-path dialog and presses Plot.
bool PlotFlowPathFrom(CWnd* pDlg, const double p[3]);

// The modal and direct series of each ticked modal shaking function agree to 1e-12 of the
// series' peak (printed per function); with bMoving a series that stays 0 fails as well.
int CompareModalDirect(const std::vector<T_THRD_D>& ticked, bool bMoving);

// One engine of the module, made and run through its exported constructor, Run and destructor.
class ModuleEngine {
public:
    ModuleEngine()
    {
        m_pCtor = reinterpret_cast<Ctor>(dlsym(RTLD_DEFAULT, "_ZN12CPVSTHEngineC1Ev"));
        m_pDtor = reinterpret_cast<Dtor>(dlsym(RTLD_DEFAULT, "_ZN12CPVSTHEngineD1Ev"));
        m_pRun = reinterpret_cast<RunFn>(dlsym(RTLD_DEFAULT, "_ZN12CPVSTHEngine3RunEPK8T_THRD_D"));
        if (m_pCtor && m_pDtor && m_pRun) {
            m_pCtor(Object());
            m_bLive = true;
        }
    }
    ~ModuleEngine()
    {
        if (m_bLive)
            m_pDtor(Object());
    }
    ModuleEngine(const ModuleEngine&) = delete;
    ModuleEngine& operator=(const ModuleEngine&) = delete;

    bool IsLive() const { return m_bLive; }
    // The series of one stored function, copied before the next run (the engine keeps its own).
    std::vector<double> Run(const T_THRD_D& stored)
    {
        CArray<double, double>* p = m_pRun(Object(), &stored);
        return p ? std::vector<double>(p->GetData(), p->GetData() + p->GetSize()) : std::vector<double>();
    }
    std::vector<double> Times() { return std::vector<double>(Object()->GetTimeSteps().GetData(),
                                                             Object()->GetTimeSteps().GetData() +
                                                                 Object()->GetTimeSteps().GetSize()); }

private:
    using Ctor = void (*)(CPVSTHEngine*);
    using Dtor = void (*)(CPVSTHEngine*);
    using RunFn = CArray<double, double>* (*)(CPVSTHEngine*, const T_THRD_D*);
    CPVSTHEngine* Object() { return std::launder(reinterpret_cast<CPVSTHEngine*>(m_storage)); }

    alignas(CPVSTHEngine) unsigned char m_storage[sizeof(CPVSTHEngine)] = {};
    Ctor m_pCtor = nullptr;
    Dtor m_pDtor = nullptr;
    RunFn m_pRun = nullptr;
    bool m_bLive = false;
};

// The bridge of the demo's view: the live one when it is the host's full bridge, else one of
// its own for the step's duration, restoring whatever was live before.
class BridgeScope {
public:
    explicit BridgeScope(CWnd* pView)
    {
        m_pBefore = CPVSMeshMngrBrdgBase::m_pMySelf;
        m_pBridge = CPVSMeshMngrBrdg::GetMySelf();
        if (!m_pBridge) {
            m_pOwn = std::make_unique<CPVSMeshMngrBrdg>();
            m_pBridge = m_pOwn.get();
        }
        m_pViewBefore = m_pBridge->GetWnd();
        m_fnBefore = m_pBridge->m_fnDisplayHandler;
        m_pBridge->SetWnd(pView);
    }
    ~BridgeScope()
    {
        if (m_bBoxSet)
            m_pBridge->SetBounds(m_dBoxBefore);
        m_pBridge->m_fnDisplayHandler = m_fnBefore;
        m_pBridge->SetWnd(m_pViewBefore);
        m_pOwn.reset();
        CPVSMeshMngrBrdgBase::m_pMySelf = m_pBefore;
    }
    BridgeScope(const BridgeScope&) = delete;
    BridgeScope& operator=(const BridgeScope&) = delete;
    CPVSMeshMngrBrdg& Get() { return *m_pBridge; }
    // The bridge reports the document's model box (x-min, x-max, y-min, ...) until the scope ends.
    void SetModelBox(CDBDoc& doc)
    {
        if (!m_bBoxSet)
            m_pBridge->GetBounds(m_dBoxBefore);
        m_bBoxSet = true;
        double b[6];
        doc.GetModelBounds(b);
        for (int k = 0; k < 3; ++k) {
            m_dBox[2 * k] = b[k];
            m_dBox[2 * k + 1] = b[k + 3];
        }
        m_pBridge->SetBounds(m_dBox);
    }
    const double* Box() const { return m_dBox; }

private:
    CPVSMeshMngrBrdgBase* m_pBefore = nullptr;
    CPVSMeshMngrBrdg* m_pBridge = nullptr;
    std::unique_ptr<CPVSMeshMngrBrdg> m_pOwn;
    CWnd* m_pViewBefore = nullptr;
    std::function<int(const T_PVS_DISPLAY_REQUEST_D&)> m_fnBefore;
    bool m_bBoxSet = false;
    double m_dBoxBefore[6] = {};
    double m_dBox[6] = {};
};
