// Stand-in for the host's generic post-processing controls: the post database's control,
// the per-analysis-case control base, its analysis result, the solver's sequence ids and the
// result-file manager. The product library (KV_db) derives its controls from these.
// Choice: the post control of a database lives in that database (CPDataBaseNeutral), so it
// goes with the document that owns it.
#pragma once
#include "DBTable.h"
#include "afxtempl.h"

#include <map>
#include <memory>
#include <vector>

// The counts of an analysis case's results: modes and time steps.
struct T_POSTDATA_COUNT_D {
    int nMode = 0;
    int nStep = 0;
};

// Solver numbering of the model's entities: element type and id, time-history id, and which
// time-history cases were solved by direct integration.
class CSeqIdInfo {
public:
    int GetSeqIdElemType(unsigned int nElemK) const;
    int GetSeqIdElem(unsigned int nElemK) const;
    int GetSeqIdThis(unsigned int nThisK) const;
    int GetSeqIdDirectThis(unsigned int nThisK) const;
    // The solver's node number; choice: the node key itself unless one was set.
    int GetSeqIdNode(unsigned int nNodeK) const
    {
        auto it = m_node.find(nNodeK);
        return it == m_node.end() ? static_cast<int>(nNodeK) : it->second;
    }
    void SetNode(unsigned int nNodeK, int nId) { m_node[nNodeK] = nId; }
    // Keys of the elements of one element-type code, ascending. The code is the one set with
    // SetElemTypeCode; an element without one is taken by its solver type (SetElem).
    void GetElemKeyListByType(int nType, CArray<unsigned int, unsigned int>& aElemK) const;
    // The host's element-type code of an element (trusses, beams, plates, solids ...), apart
    // from its solver type, which for plates and solids is its record in the family's data set.
    void SetElemTypeCode(unsigned int nElemK, int nCode) { m_typeCode[nElemK] = nCode; }

    void SetElem(unsigned int nElemK, int nType, int nId);
    void SetThis(unsigned int nThisK, int nId, int bDirect);

private:
    struct Elem { int nType = 0; int nId = 0; };
    struct This { int nId = 0; int bDirect = 0; };
    std::map<unsigned int, Elem> m_elem;
    std::map<unsigned int, This> m_this;
    std::map<unsigned int, int> m_node;
    std::map<unsigned int, int> m_typeCode;
};

// One result file of a family: the host gives its path text with the extension.
struct T_RESULT_FILE_D {
    int nFamily = 0;
    CString strPathName;
};

// The result-file families of an analysis case.
class CResultFileMngr {
public:
    BOOL FindResultFile(int nFamily, T_RESULT_FILE_D& rec) const;
    void SetResultFile(int nFamily, const char* pszPathName);

private:
    std::map<int, CString> m_files;
};

// The stored results of an analysis case; the product library derives the readers.
class CPostAnalysisResultBase {
public:
    virtual ~CPostAnalysisResultBase() = default;
};

// Control of one analysis case's results. Choice: results are ready unless a builder says not.
class CPostCtrlAnlTypeBase {
public:
    virtual ~CPostCtrlAnlTypeBase() = default;
    virtual int GetAnalysisType() const = 0;
    virtual BOOL GetDataCount(T_POSTDATA_COUNT_D& count) const = 0;
    virtual int IsResultReady() const { return m_bReady; }
    virtual CPostAnalysisResultBase* GetAnalResult() = 0;
    CSeqIdInfo* GetSeqIdInfo() { return &m_seqId; }
    CResultFileMngr* GetResulFileMngr() { return &m_files; }
    void SetResultReady(int bReady) { m_bReady = bReady; }
    // The output set (T_POSIF_D key) holding the case's steps; 0 when it has none.
    virtual unsigned int GetResultSetKey() const { return m_nResultSetK; }
    void SetResultSetKey(unsigned int nPOsifK) { m_nResultSetK = nPOsifK; }

private:
    int m_bReady = 1;
    unsigned int m_nResultSetK = 0;
    CSeqIdInfo m_seqId;
    CResultFileMngr m_files;
};

// The values of one entity of a result row, as the post control reads them.
struct T_POST_VECT_ALL_D {
    CArray<double, double> aValue;
    T_POST_VECT_ALL_D() = default;
    T_POST_VECT_ALL_D(const T_POST_VECT_ALL_D& o) { aValue.Copy(o.aValue); }
    T_POST_VECT_ALL_D& operator=(const T_POST_VECT_ALL_D& o)
    {
        aValue.Copy(o.aValue);
        return *this;
    }
};

// The post database's control; the product's control derives from it.
// Row queries: the values of a result row are those stored under the row's key (T_PVAL_D of
// the attached post database). Choice: the value count of a read is the longest run among the
// requested entities; an entity without a run is absent from the result; a read outside a
// begun query of that row fails.
// Element read of a node row (entity kind 1): one group of seven doubles per element node, in
// node order: the node's value and vector (its first four doubles, zeros where its run is
// shorter) and the node's x, y, z from the attached model database; an element with a node
// that has no run, or that the model does not hold, is absent.
class CPostCtrlBase {
public:
    virtual ~CPostCtrlBase() = default;

    void AttachPostDB(CDBBase* pPostDB) { m_pRowDB = pPostDB; }
    void AttachModelDB(CDBBase* pModelDB) { m_pModelDB = pModelDB; }
    BOOL BeginQueryRow(unsigned int nPVtifK);
    BOOL GetElemResult(const CArray<unsigned int, unsigned int>& aElemId, unsigned int nPVtifK, int& nValueCount,
                       CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult);
    // One node's run of the begun row into pValue, at most nMax doubles (the rest is not
    // read); nCount gets the number written. FALSE outside the row's query or without a run.
    BOOL GetNodeResult(unsigned int nNodeId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax);
    // The runs of the nodes of a node row, under the node ids, as GetElemResult reads elements.
    BOOL GetNodeResult(const CArray<unsigned int, unsigned int>& aNodeId, unsigned int nPVtifK, int& nValueCount,
                       CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult);
    void EndQueryRow() { m_nRowK = 0; }
    // The two value arrays of a stored graph (CClassPGrph key) of the attached post database;
    // 0 (both arrays empty) when the graph has none.
    int GetGraphData(unsigned int nGrphK, CArray<double, double>& aFirst, CArray<double, double>& aSecond) const;
    // One element's run of the begun row (event states and the like) into pValue: nCount gets
    // the run's full length, at most nMax doubles are written. FALSE outside the row's query or
    // without a run.
    BOOL GetElemValues(unsigned int nElemId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax);
    // The diagram direction of an element as an answer of nCount doubles (at most nMax written),
    // the first three the direction. Choice: what the host set for the element, else the
    // element's local z axis (CClassElem::calcFrameLocalVector). FALSE outside the row's query
    // or for an element without axes.
    BOOL GetElemDgrmDir(unsigned int nElemId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax);
    // Host side: the direction answer of one element (any length).
    void SetElemDgrmDir(unsigned int nElemId, std::vector<double> aAnswer) { m_dgrmDir[nElemId] = std::move(aAnswer); }
    // The solver numbering of the model the control answers for.
    CSeqIdInfo* GetSeqIdInfo() { return &m_seqId; }

private:
    // The runs of the ids under them: the element read of a row of element runs, the node read.
    BOOL ReadRuns(const CArray<unsigned int, unsigned int>& aId, unsigned int nPVtifK, int& nValueCount,
                  CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult);
    BOOL GetElemResultOfNodeRow(const CArray<unsigned int, unsigned int>& aElemId, unsigned int nPVtifK,
                                int& nValueCount, CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult);
    CDBBase* m_pRowDB = nullptr;
    CDBBase* m_pModelDB = nullptr;
    unsigned int m_nRowK = 0;
    CSeqIdInfo m_seqId;
    std::map<unsigned int, std::vector<double>> m_dgrmDir;
};

// Access to the control held by a post database.
class CPDataBaseNeutral {
public:
    // nullptr when the database holds no control.
    static CPostCtrlBase* GetPostCtrl(CDBBase* pPostDB);
    // Host side: gives the database its control (replacing any earlier one).
    static void SetPostCtrl(CDBBase* pPostDB, std::shared_ptr<CPostCtrlBase> pCtrl);
};
