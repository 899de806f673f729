// File names and captions of a picture batch: one entry per pair of a result row and a view
// (index = row index x 9 + view index); a view not chosen gets an empty file name but a caption.
#pragma once
#include "afxstr.h"
#include "afxtempl.h"

class CDBBase;
struct T_RESULT_PIC_SETTING_D;

extern const char* const kResultPicViewNames[9];

// Names of a result row's output set, step and the row itself; empty when a lookup fails.
CString GetOutputSetName(CDBBase* pPostDB, UINT nRowK);
CString GetStepName(CDBBase* pPostDB, UINT nRowK);
CString GetResultName(CDBBase* pPostDB, UINT nRowK);

// "Undeformed", "Deformed" or "Deformed+Undeformed" for the settings' shape.
const char* ResultPicShapeName(const T_RESULT_PIC_SETTING_D& rSetting);

// Fills both arrays for the settings' component keys and views; TRUE when some view is chosen.
// ":", "/" and "\" in a file name become "-", so that a name never reaches outside the folder;
// captions keep the names.
BOOL BuildResultPicNames(CDBBase* pPostDB, const T_RESULT_PIC_SETTING_D& rSetting, const char* pszPrefix,
                         const char* pszModel, CStringArray& aFileNames, CStringArray& aCaptions);
