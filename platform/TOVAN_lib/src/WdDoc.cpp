#include "WdDoc.h"

std::vector<CWdDoc::T_JOURNAL_D>& CWdDoc::Journals()
{
    static std::vector<T_JOURNAL_D> journals;
    return journals;
}

bool& CWdDoc::Available()
{
    static bool bAvailable = true;
    return bAvailable;
}
