#include "vtkGenBandedPolyDataContourFilter.h"

#include <vtkObjectFactory.h>

vtkStandardNewMacro(vtkGenBandedPolyDataContourFilter);
