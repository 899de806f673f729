// The reader of the design text file and its conversion into design records: parses the beam
// and the plate/solid variant of "KvrDesign.txt" line by line into the table set (a malformed
// file stops the read with 0; the tables keep what was read until then), then builds one RC
// beam or RC wall record per beam element or design plane and stores them through its owner,
// the design-data control. Also the names of the design codes.
#pragma once
#include "core/KVPvsExport.h"

#include "design/DesignFileRecords.h"
#include "design/YRPRecords.h"

class CYRPDataCtrl;

class KV_PVS_API CYRPC_DataTool {
public:
    // The owner receives the records; a tool without one converts nothing.
    void SetOwner(CYRPDataCtrl* pOwner) { m_pOwner = pOwner; }
    CYRPDataCtrl* GetOwner() const { return m_pOwner; }

    // Reads the design text file at the path and stores one RC-beam (MakeUrbeData) or RC-wall
    // (MakeUrwaData) record per beam element or design plane, each under the next free key.
    // 0 without an owner or a document, for an unreadable file or a beam file without elements.
    int MakeUrbeData(const char* pszPath);
    int MakeUrwaData(const char* pszPath);
    // Conversions of the column and steel families: nothing is read; 0.
    int MakeUrcoData(const char* pszPath);
    int MakeUstlData(const char* pszPath);
    // The name of a design code number; empty for an unknown number.
    static CString GetDesignCodeName(int nCode);

    // 1 when the file was read to its end or to "*ENDDATA"; 0 when it cannot be opened, a read
    // fails, a line holds a NUL byte, it has no keyword line or a data line before its first, a
    // data line has the wrong number of fields, an integer field that is not a whole number
    // inside int, a number field that is not a whole finite number or a unit name outside the
    // unit tables, a force row comes before the first load case, or a stored plane has a cell on
    // a point its POINT block did not give. A comma splits a field (only the line of the
    // FILEPATH block is taken whole).
    int ReadDesignFile(const char* pszPath);

    const T_YRP_CONVERT_TABLE_D& GetTables() const { return m_tables; }

    // Unit index of a unit name as the file spells it; an empty name gives 0, any other name
    // outside the table -1.
    static int ForceUnitIndex(const char* pszName);
    static int LengthUnitIndex(const char* pszName);

private:
    template <class T>
    int MakeRecords(const char* pszPath, bool bWall);

    T_YRP_CONVERT_TABLE_D m_tables;
    CYRPDataCtrl* m_pOwner = nullptr;
};
