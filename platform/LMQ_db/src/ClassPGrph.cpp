#include "ClassPGrph.h"
#include "PostCtrlBase.h"

int CPostCtrlBase::GetGraphData(unsigned int nGrphK, CArray<double, double>& aFirst,
                                CArray<double, double>& aSecond) const
{
    aFirst.RemoveAll();
    aSecond.RemoveAll();
    T_PGRPH_DATA_D rec;
    if (!m_pRowDB || !CClassPGrph(m_pRowDB).Exist(nGrphK) || !CClassPGrphData(m_pRowDB).Get(nGrphK, rec))
        return 0;
    aFirst.Copy(rec.aFirst);
    aSecond.Copy(rec.aSecond);
    return 1;
}
