#include "PVSDlgModalessBase.h"

IMPLEMENT_DYNAMIC(CPVSDlgModalessBase, CDBDlgBase)
