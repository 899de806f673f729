// The module's dialog launcher: the host opens a dialog of the module by its class name.
#pragma once
#include "core/KVPvsExport.h"

class KV_PVS_API IKVPvsDialog {
public:
    virtual ~IKVPvsDialog();

    // Opens the modeless dialog of that name (exact, case-sensitive) under the current
    // document's active view: 1 for a known name, -1 for any other (nothing happens). For
    // "CDlgProfileGridDef" and "CDlgFlowPathWKVR" the argument points at a 32-bit word whose low
    // 16 bits the dialog receives (0 for a null argument). Without a current document no dialog
    // opens. The reserved argument is not read.
    static int DoModeless(const char* pszName, void* pArgument, void* pReserved);
    // Runs the modal dialog of that name ("CDlgResultCompComb") and returns its result; -1 for
    // any other name. Afterwards the views are told (hint 39), and the combination output set is
    // deleted when no combination is left. Without a current document nothing runs and the
    // result is the cancel code. The argument is not read.
    static int DoModal(const char* pszName, void* pArgument);
};
