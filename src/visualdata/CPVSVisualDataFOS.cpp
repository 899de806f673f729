#include "visualdata/CPVSVisualDataFOS.h"

IMPLEMENT_DYNAMIC(CPVSVisualDataFOS, CPVSVisualDataBase)

CPVSVisualDataFOS::CPVSVisualDataFOS(int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataBase(static_cast<unsigned int>(nType), param), m_pFOSData(new T_VD_FOS_TVCKVR_D)
{
    // A copy of its own: later edits in the dialog do not reach a display already shown.
    if (param.pUserDefData)
        *m_pFOSData = *static_cast<T_VD_FOS_TVCKVR_D*>(param.pUserDefData);
    else
        m_pFOSData->Initialize();
}

CPVSVisualDataFOS::~CPVSVisualDataFOS() { delete m_pFOSData; }

int CPVSVisualDataFOS::GetVisualMethodType(T_PVIST_ALL_D*) { return 17; }

int CPVSVisualDataFOS::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int) { return 1; }

int CPVSVisualDataFOS::MakeVGeomData(vtkDataSet*, T_PVIST_ALL_D*, T_PVIST_ANIM_D*, CAnimationEngine*,
                                     CPVSModelDataBase*, CArray<int, int>*, CArray<int, int>*, CArray<int, int>*,
                                     CArray<int, int>*)
{
    return 1;
}

int CPVSVisualDataFOS::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&, T_PVIST_ALL_D*,
                                     CPVSModelDataBase*)
{
    return 1;
}

int CPVSVisualDataFOS::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&, T_PVIST_ALL_D*) { return 1; }

int CPVSVisualDataFOS::GetPostOutput4ToolTip(int, unsigned int, CArray<CString, CString&>&) { return 1; }

int CPVSVisualDataFOS::GetPostOutput4Probe(int, unsigned int, CArray<CString, CString&>&, int)
{
    m_nProbeResult = 0;
    return 1;
}

int CPVSVisualDataFOS::MakeArcData() { return 1; }
