// Stand-in for the product's banded contour filter: the poly data cut into bands between
// contour values, each band carrying its band value. Choice: VTK's banded contour filter with
// its default settings (band values clipped to the scalar range, no contour edges).
#pragma once
#include <vtkBandedPolyDataContourFilter.h>

class vtkGenBandedPolyDataContourFilter : public vtkBandedPolyDataContourFilter {
public:
    static vtkGenBandedPolyDataContourFilter* New();
    vtkTypeMacro(vtkGenBandedPolyDataContourFilter, vtkBandedPolyDataContourFilter);

protected:
    vtkGenBandedPolyDataContourFilter() = default;
    ~vtkGenBandedPolyDataContourFilter() override = default;

public:
    vtkGenBandedPolyDataContourFilter(const vtkGenBandedPolyDataContourFilter&) = delete;
    void operator=(const vtkGenBandedPolyDataContourFilter&) = delete;
};
