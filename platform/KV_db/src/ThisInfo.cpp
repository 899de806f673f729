#include "ThisInfo.h"

#include "DBDoc.h"

BOOL CClassThis::GetTimeStep(unsigned int nThisK, CArray<double, double>& aSteps) const
{
    aSteps.RemoveAll();
    if (!m_pDB)
        return FALSE;
    auto& t = m_pDB->Table<T_THIS_D>();
    auto it = t.find(nThisK);
    if (it == t.end())
        return FALSE;
    aSteps.Copy(it->second.aTimeStep);
    return TRUE;
}

unsigned int CThisInfo::GetThisKByAcasK(unsigned int nAcasK)
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc || nAcasK == 0)
        return 0;
    for (const auto& [k, rec] : pDoc->GetModelDB()->Table<T_THIS_D>())
        if (rec.nAcasK == nAcasK)
            return k;
    return 0;
}
