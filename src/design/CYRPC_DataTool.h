// The reader of the design text file: parses the beam and the plate/solid variant of
// "KvrDesign.txt" line by line into the table set from which design records are built. A
// malformed file stops the read with 0; the tables keep what was read until then.
#pragma once
#include "frame/core/KVPvsExport.h"

#include "design/DesignFileRecords.h"

class KV_PVS_API CYRPC_DataTool {
public:
    // 1 when the file was read to its end or to "*ENDDATA"; 0 when it cannot be opened, a data
    // line has the wrong number of fields or a force row comes before the first load case.
    // Names and the model path must not hold commas: a comma splits a field (only the line of
    // the FILEPATH block is taken whole).
    int ReadDesignFile(const char* pszPath);

    const T_YRP_CONVERT_TABLE_D& GetTables() const { return m_tables; }

    // Unit index of a unit name as the file spells it; an unknown name gives 0.
    static int ForceUnitIndex(const char* pszName);
    static int LengthUnitIndex(const char* pszName);

private:
    T_YRP_CONVERT_TABLE_D m_tables;
};
