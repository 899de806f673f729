#include "GeomDialog.h"

IMPLEMENT_DYNAMIC(CGeomDialog, CDialog)
