#include "vtkQuadraticDataSetSurfaceFilter.h"

#include <vtkObjectFactory.h>

vtkStandardNewMacro(vtkQuadraticDataSetSurfaceFilter);
