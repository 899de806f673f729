#include "vtkQuadraticDataSetSurfaceFilter.h"

#include <vtkGeometryFilter.h>
#include <vtkObjectFactory.h>
#include <vtkUnstructuredGrid.h>

#include <memory>

vtkStandardNewMacro(vtkQuadraticDataSetSurfaceFilter);

int vtkQuadraticDataSetSurfaceFilter::UnstructuredGridExecute(vtkDataSet* input, vtkPolyData* output)
{
    vtkUnstructuredGrid* pGrid = vtkUnstructuredGrid::SafeDownCast(input);
    if (!pGrid)
        return vtkDataSetSurfaceFilter::UnstructuredGridExecute(input, output);
    const std::unique_ptr<vtkGeometryFilterHelper> info(vtkGeometryFilterHelper::CharacterizeUnstructuredGrid(pGrid));
    return vtkDataSetSurfaceFilter::UnstructuredGridExecute(input, output, info.get());
}
