// Controls of the framework stand-in for tests and the demo host; module code never includes it.
#pragma once
#include "afxwin.h"

// Makes the next AfxInitExtensionModule calls fail (as a missing resource would).
void AfxStandInFailExtensionInit(bool bFail);
// The chain of extension libraries: modules joined by AfxInitExtensionModule and not yet released.
int AfxStandInExtensionModuleCount();
// Libraries created with CDynLinkLibrary and not yet destroyed (AfxTermExtensionModule
// destroys those of its module).
int AfxStandInDynLinkLibraryCount();
