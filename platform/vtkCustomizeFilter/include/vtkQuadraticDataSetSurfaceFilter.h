// Stand-in for the product's quadratic surface filter: the outer surface of a data set whose
// quadratic cells are kept curved. Choice: VTK's own data-set surface filter, which already
// subdivides the faces of quadratic cells, with its default settings.
#pragma once
#include <vtkDataSetSurfaceFilter.h>

class vtkQuadraticDataSetSurfaceFilter : public vtkDataSetSurfaceFilter {
public:
    static vtkQuadraticDataSetSurfaceFilter* New();
    vtkTypeMacro(vtkQuadraticDataSetSurfaceFilter, vtkDataSetSurfaceFilter);

    // The unstructured-grid pass with the grid's characterisation owned here: VTK 9.1's own
    // two-argument pass leaks it on every call.
    int UnstructuredGridExecute(vtkDataSet* input, vtkPolyData* output) override;
    using vtkDataSetSurfaceFilter::UnstructuredGridExecute;

protected:
    vtkQuadraticDataSetSurfaceFilter() = default;
    ~vtkQuadraticDataSetSurfaceFilter() override = default;

public:
    vtkQuadraticDataSetSurfaceFilter(const vtkQuadraticDataSetSurfaceFilter&) = delete;
    void operator=(const vtkQuadraticDataSetSurfaceFilter&) = delete;
};
