// The design data of the link to the member-design program: owns the design-data control for
// the life of the link.
#pragma once
#include "design/CYRPDataCtrl.h"

class CYRPC_DataBase {
public:
    CYRPC_DataBase() : m_pCtrl(new CYRPDataCtrl) {}
    virtual ~CYRPC_DataBase() { delete m_pCtrl; }
    CYRPC_DataBase(const CYRPC_DataBase&) = delete;
    CYRPC_DataBase& operator=(const CYRPC_DataBase&) = delete;

    CYRPDataCtrl* GetDataCtrl() { return m_pCtrl; }

private:
    CYRPDataCtrl* m_pCtrl;
};
