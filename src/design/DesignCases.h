// The load cases the design dialogs offer: analysis cases (CClassAcas) with their post control
// (CPostCtrlGeoTech::GetPostCtrlSub) and the steps of the control's output set.
#pragma once
#include "ClassAcas.h"
#include "DBDoc.h"
#include "PostCtrlGeoTech.h"

namespace kvpvs::design {

// The post control of an analysis case; null when the document has no product post control or
// the case has none.
CPostCtrlAnlTypeBase* CaseControl(CDBDoc* pDoc, unsigned int nAcasK);
// Keys of the steps of an analysis case's output set, in key order.
void CaseSteps(CDBDoc* pDoc, const CPostCtrlAnlTypeBase* pCtrl, CArray<unsigned int, unsigned int>& aStepK);
// Fills a combo box with the construction-stage cases (type 5) that have results; selects the first.
void FillStageCaseCombo(CDBDoc* pDoc, CComboBox& combo);
// Appends to a list the analysis cases of type 15, then of type 1, that have results.
void AddLinearCases(CDBDoc* pDoc, CCheckListBox& list);
// Appends to a list the steps of kind 25 of the analysis case selected in the combo box.
void AddStageSteps(CDBDoc* pDoc, const CComboBox& combo, CCheckListBox& list);

} // namespace kvpvs::design
