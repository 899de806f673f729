#include "ProductInfo.h"
#include "YRPInterface.h"

IYRPInterface* IYRPInterface::m_pInstance = nullptr;

IProductInfo* IProductInfo::Instance()
{
    static IProductInfo info;
    return &info;
}
