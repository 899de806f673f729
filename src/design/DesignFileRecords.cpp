#include "design/DesignFileRecords.h"

T_YRP_CONVERT_PLANE& T_YRP_CONVERT_PLANE::operator=(const T_YRP_CONVERT_PLANE& src)
{
    if (this == &src)
        return *this;
    strName = src.strName;
    bPlate = src.bPlate;
    for (int i = 0; i < 6; ++i)
        dPlane[i] = src.dPlane[i];
    mPoint = src.mPoint;
    mCell = src.mCell;
    for (int i = 0; i < 3; ++i)
        dSection[i] = src.dSection[i];
    aForceSum.Copy(src.aForceSum);
    return *this;
}

void T_YRP_CONVERT_PLANE::Initialize()
{
    strName.Empty();
    bPlate = 0;
    for (double& d : dPlane)
        d = 0;
    mPoint.RemoveAll();
    mCell.RemoveAll();
    for (double& d : dSection)
        d = 0;
    aForceSum.RemoveAll();
}

T_YRP_CONVERT_TABLE_D& T_YRP_CONVERT_TABLE_D::operator=(const T_YRP_CONVERT_TABLE_D& src)
{
    if (this == &src)
        return *this;
    nVariant = src.nVariant;
    nLengthUnit = src.nLengthUnit;
    nForceUnit = src.nForceUnit;
    nUnitExtra[0] = src.nUnitExtra[0];
    nUnitExtra[1] = src.nUnitExtra[1];
    strFilePath = src.strFilePath;
    mSect = src.mSect;
    mMatl = src.mMatl;
    mAttr = src.mAttr;
    mElem = src.mElem;
    mBeamLoad = src.mBeamLoad;
    mPlane = src.mPlane;
    return *this;
}

void T_YRP_CONVERT_TABLE_D::Initialize()
{
    nVariant = 1;
    nLengthUnit = 0;
    nForceUnit = 2;
    nUnitExtra[0] = nUnitExtra[1] = 0;
    strFilePath.Empty();
    mSect.RemoveAll();
    mMatl.RemoveAll();
    mAttr.RemoveAll();
    mElem.RemoveAll();
    mBeamLoad.RemoveAll();
    mPlane.RemoveAll();
}
