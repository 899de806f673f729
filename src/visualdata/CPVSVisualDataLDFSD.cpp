#include "visualdata/CPVSVisualDataLDFSD.h"

IMPLEMENT_DYNAMIC(CPVSVisualDataLDFSD, CPVSVisualDataBase)

CPVSVisualDataLDFSD::CPVSVisualDataLDFSD(unsigned int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataLDFSCore(nType, param)
{
}

int CPVSVisualDataLDFSD::GetVisualMethodType(T_PVIST_ALL_D*) { return 19; }

int CPVSVisualDataLDFSD::GetLclDirForSumByLine(double dCentre[3], double dPts[2][3], double dNormal[3],
                                               double dForce[2][6], double dMoment[2][6], double dSum[6],
                                               double dElemAxis[3][3], double dPlaneAxis[3][3])
{
    return CPVSVisualDataLDFS::GetLclDirForSumByLine(dCentre, dPts, dNormal, dForce, dMoment, dSum, dElemAxis,
                                                     dPlaneAxis);
}

int CPVSVisualDataLDFSD::GetLclDirForSumByTriangle(double dCentre[3], double dPts[3][3], double dNormal[3],
                                                   double dStress[3][6], double dSum[6], double dPlaneAxis[3][3])
{
    return CPVSVisualDataLDFS::GetLclDirForSumByTriangle(dCentre, dPts, dNormal, dStress, dSum, dPlaneAxis);
}
