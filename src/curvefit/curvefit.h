// The least-squares polynomial fit of the curve-fitting dialog: the module's exported entry
// into the numerical library's polynomial regression. The library's messages go to the host's
// output window; a stopped fit leaves the coefficients zero and the host running.
#pragma once

#include "core/KVPvsExport.h"

// nobs points (x[i], y[i]); b receives ndeg + 1 coefficients, b[k] multiplying x to the power k.
extern "C" KV_PVS_API void curvefit(int nobs, double* x, double* y, int ndeg, double* b);
