#include "dialogs/ResultPicNames.h"

#include "dialogs/ResultPicSetting.h"

#include "DBDoc.h"

const char* const kResultPicViewNames[9] = {"Iso", "Iso1", "Front", "Rear", "Top", "Bottom", "Left", "Right", "Current"};

CString GetResultName(CDBBase* pPostDB, UINT nRowK)
{
    T_PVTIF_D row;
    return CClassPVtif(pPostDB).Get(nRowK, row) ? row.strName : CString();
}

CString GetStepName(CDBBase* pPostDB, UINT nRowK)
{
    T_PVTIF_D row;
    T_PLSIF_D step;
    if (!CClassPVtif(pPostDB).Get(nRowK, row) || !CClassPLsif(pPostDB).Get(row.nStepK, step))
        return CString();
    return step.strName;
}

CString GetOutputSetName(CDBBase* pPostDB, UINT nRowK)
{
    T_PVTIF_D row;
    T_PLSIF_D step;
    T_POSIF_D set;
    if (!CClassPVtif(pPostDB).Get(nRowK, row) || !CClassPLsif(pPostDB).Get(row.nStepK, step) ||
        !CClassPOsif(pPostDB).Get(step.nOsifK, set))
        return CString();
    return set.strName;
}

const char* ResultPicShapeName(const T_RESULT_PIC_SETTING_D& s)
{
    if (!s.bDeformed)
        return "Undeformed";
    return s.bWithUndeformed ? "Deformed+Undeformed" : "Deformed";
}

BOOL BuildResultPicNames(CDBBase* pPostDB, const T_RESULT_PIC_SETTING_D& s, const char* pszPrefix,
                         const char* pszModel, CStringArray& aFileNames, CStringArray& aCaptions)
{
    aFileNames.RemoveAll();
    aCaptions.RemoveAll();
    const CString strPrefix = pszPrefix ? pszPrefix : "";
    const CString strModel = pszModel ? pszModel : "";
    const CString strShape = ResultPicShapeName(s);
    BOOL bAnyView = FALSE;
    for (int i = 0; i < s.aCompKeys.GetSize(); ++i) {
        const UINT nRowK = s.aCompKeys[i];
        const CString strSet = GetOutputSetName(pPostDB, nRowK);
        const CString strStep = GetStepName(pPostDB, nRowK);
        const CString strResult = GetResultName(pPostDB, nRowK);
        for (int v = 0; v < T_RESULT_PIC_SETTING_D::VIEW_COUNT; ++v) {
            CString strFile;
            if (s.aViews[v]) {
                if (!strPrefix.IsEmpty())
                    strFile = strPrefix + "_";
                strFile += strModel + "_" + strSet + "_" + strStep + "_" + strResult + "_" + kResultPicViewNames[v] +
                           "_" + strShape;
                bAnyView = TRUE;
            }
            CString strSafe;
            for (int c = 0; c < strFile.GetLength(); ++c) {
                const char ch = strFile[c];
                strSafe += (ch == ':' || ch == '/' || ch == '\\') ? '-' : ch;
            }
            aFileNames.Add(strSafe);
            CString strCaption = strSet + ", " + strStep + ", " + strResult;
            if (strShape != "Undeformed")
                strCaption += ", " + strShape + " Shape";
            strCaption += CString(" (") + kResultPicViewNames[v] + " View)";
            aCaptions.Add(strCaption);
        }
    }
    return bAnyView;
}
