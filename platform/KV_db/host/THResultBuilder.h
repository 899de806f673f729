// Builder of the time-history results of a document: one time-history case with its post
// control, counts and stored results. One decision feeds every reader of a fact: the method
// gives both the case record's method word (with the solver's direct flag) and the analysis
// result's method code; the mode count feeds both the case control and its eigenvalue control.
#pragma once
#include "PostCtrlGeoTech.h"
#include "ThisInfo.h"

#include <map>
#include <utility>
#include <vector>

class CDBDoc;

class CTHResultBuilder {
public:
    // The document's post control, made on first use.
    static CPostCtrlGeoTech* PostCtrl(CDBDoc& doc);

    // A case of analysis type 3: analysis case nAcasK, history record nThisK in the model
    // database, method 1 modal superposition or 2 direct integration. The analysis case record
    // (CClassAcas) gets the pair (3, nThisK) in place of an earlier time history.
    CTHResultBuilder(CDBDoc& doc, unsigned int nAcasK, unsigned int nThisK, int nMethod,
                     const std::vector<double>& aTime, int nModes);

    CPostCtrlAnlTypeTHIS* Ctrl() { return m_pCtrl.get(); }
    CTHResultData& Data() { return m_pCtrl->Data(); }

    void SetAnalysisType(int nType) { Data().nAnalysisType = nType; }
    // Switches the case between modal superposition (1) and direct integration (2): the
    // analysis result's method code, the case record's method word and the solver's direct
    // flag change together.
    void SetMethod(int nMethod);
    void SetModeShape(int nEqn, const std::vector<double>& aShape) { Data().modeShapes[nEqn] = aShape; }
    // Modal coordinate of mode nMode at step nStep, both from 1.
    void SetModal(int nMode, int nStep, const _MDSP_BN& q);
    void SetNode(unsigned int nNodeK, const _NDSP_BN& rec) { Data().nodes[nNodeK] = rec; }
    // Ground motion of direction 0 X, 1 Y, 2 Z, one value per step.
    void SetGround(int nDir, const std::vector<_MDSP_BN>& a) { Data().ground[nDir] = a; }
    void SetTruss(unsigned int nElemK, const std::vector<double>& a) { Data().truss[nElemK] = a; }
    void SetBeam(unsigned int nElemK, const std::vector<double>& a) { Data().beam[nElemK] = a; }
    void SetEquationCount(int n);
    // Direct-integration displacement of an equation at step nStep (from 1).
    void SetEquationDisp(int nStep, int nEqn, double d);
    // Equation displacements and node histories of the direct form, from the modal form
    // (u = sum over modes of shape times coordinate; node values through its transformation).
    void FillDirectFromModal();
    void SetElemSeqId(unsigned int nElemK, int nType, int nId) { Ctrl()->GetSeqIdInfo()->SetElem(nElemK, nType, nId); }
    void SetResultFile(int nFamily, const char* pszPathName) { Ctrl()->GetResulFileMngr()->SetResultFile(nFamily, pszPathName); }
    // The solver's id of the case's history (its record in the result files' history table),
    // kept when the method changes; the case key until set.
    void SetThisSeqId(int nId);
    // Connects the case with the solver's result files: the file of family 2, the case's history
    // id, and per element its solver (type, id): for a plate its record in the family's data set
    // and its element record.
    void ConnectResultFiles(const char* pszFamily2Path, int nHistoryId,
                            const std::map<unsigned int, std::pair<int, int>>& aElemSeqId);
    // The same for a case built earlier; FALSE when the document has no control of case nAcasK.
    static BOOL ConnectResultFiles(CDBDoc& doc, unsigned int nAcasK, const char* pszFamily2Path, int nHistoryId,
                                   const std::map<unsigned int, std::pair<int, int>>& aElemSeqId);

private:
    std::shared_ptr<CPostCtrlAnlTypeTHIS> m_pCtrl;
    CDBDoc* m_pDoc = nullptr;
    unsigned int m_nThisK = 0;
    int m_nHistId = 0;
};
