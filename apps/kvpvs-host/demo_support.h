// Facts of the sample project that more than one demo step needs.
#pragma once
#include "DBDoc.h"

// Gives every step with force-sum rows its host step record (the dialog lists steps from them,
// the report names them) and returns the last such step's key, 0 when there is none.
unsigned int EnsureForceSumStepRecords(CDBDoc& doc);
