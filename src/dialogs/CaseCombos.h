// The chain of result combos a dialog heads with its analysis cases: each combo lists the entries
// of its parent's selection (the steps of a case, the result rows of a step) and refills its
// children when its own selection changes. Every dialog that picks a case and a step sets up its
// chain through this one call.
#pragma once
#include "CobxPsif.h"

#include <initializer_list>

class CDBDoc;

namespace kvpvs::dialogs {

// Gives every combo the document, makes each of the chain the child of the one before it (the
// first of the chain the child of the case combo), and lists the post database's analysis cases
// in the case combo with the first selected, which fills the chain. Without cases the case
// combo keeps what it lists.
void ChainCaseCombos(CDBDoc* pDoc, CCobxPOsif& caseCombo, std::initializer_list<CCobxPsifBase*> chain);

} // namespace kvpvs::dialogs
