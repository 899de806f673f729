// Stand-in for the host's general-table store of the post database and its table view.
// IPostGeneralTableData keeps the text tables the displays make (T_POST_GENR_TABL_D) under
// keys from 1, in the order stored; ICustomPostDB opens tables in the host's table view.
// Choices: the store lives for the process (ClearTables empties it); a row request loads the
// rows of the table at an index (0-based, store order) under row keys 1, 2, ...; the request's
// kind is not read; the table view records what it is asked to open.
#pragma once
#include "afxtempl.h"

#include <map>
#include <vector>

struct T_POST_GENR_TABL_D {
    int nRows = 0;
    int nCols = 0;
    CArray<CString, CString&> aCell;       // row by column, row after row
    CArray<CString, CString&> aColTitle;   // one per column
    CArray<int, int> aColKind;             // one per column; 2 a value, 3 a row title
    CArray<int, int> aColUnit;             // one per column; 1 a length (converted by the view)

    T_POST_GENR_TABL_D() = default;
    T_POST_GENR_TABL_D(const T_POST_GENR_TABL_D& o) { *this = o; }
    T_POST_GENR_TABL_D& operator=(const T_POST_GENR_TABL_D& o);
    // Sizes the table: empty cells and titles, kinds and unit flags 0.
    void Allocate(int nRowCount, int nColCount);
    CString& Cell(int nRow, int nCol) { return aCell[nRow * nCols + nCol]; }
    const CString& Cell(int nRow, int nCol) const { return aCell[nRow * nCols + nCol]; }
};

class IPostGeneralTableData {
public:
    static IPostGeneralTableData* Instance();
    virtual ~IPostGeneralTableData() = default;

    // Stores a copy of the table; its key.
    virtual unsigned int AddTable(const T_POST_GENR_TABL_D& table);
    // The number of stored tables.
    virtual int GetCount() const { return static_cast<int>(m_aOrder.size()); }
    // Loads the rows of the table at nIndex; FALSE when there is none.
    virtual BOOL RequestRows(int nKind, int nIndex);
    virtual void GetRowKeys(CArray<unsigned int, unsigned int>& aKey) const;
    // The cell texts of a loaded row; FALSE for a key not loaded.
    virtual BOOL GetRowTexts(unsigned int nRowKey, CArray<CString, CString&>& aText) const;
    virtual void ReleaseRows() { m_nLoaded = 0; }

    const T_POST_GENR_TABL_D* GetTable(unsigned int nKey) const;
    unsigned int GetTableKey(int nIndex) const;
    // Host and test side.
    void ClearTables();
    int GetLoadedTableKey() const { return static_cast<int>(m_nLoaded); }

private:
    std::map<unsigned int, T_POST_GENR_TABL_D> m_tables;
    std::vector<unsigned int> m_aOrder;
    unsigned int m_nLoaded = 0;
};

// The host's customised post database: its table view.
class ICustomPostDB {
public:
    static ICustomPostDB* Instance();
    virtual ~ICustomPostDB() = default;

    // Opens one table of the store in the table view with a title.
    virtual void ShowTable(unsigned int nKey, const CString& strTitle, int nArg1, int nArg2);
    // Opens several tables together, each under its name, with a title.
    virtual void ShowTables(const CArray<unsigned int, unsigned int>& aKey, const CArray<CString, CString&>& aName,
                            const CString& strTitle, int nArg);

    struct T_TABLE_VIEW_D {
        std::vector<unsigned int> aKey;
        std::vector<CString> aName;
        CString strTitle;
    };
    // What the view was asked to open, in order (host and test side).
    std::vector<T_TABLE_VIEW_D> m_aShown;

    // The progress display: begun with a text and a number of steps, advanced step by step,
    // ended. The stand-in records each run (host and test side).
    virtual void BeginProgress(const CString& strText, int nSteps);
    virtual void StepProgress();
    virtual void EndProgress();
    struct T_PROGRESS_D {
        CString strText;
        int nSteps = 0;
        int nAdvanced = 0;
        bool bEnded = false;
    };
    std::vector<T_PROGRESS_D> m_aProgress;
};
