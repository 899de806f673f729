#include "visualmethods/UsedPart.h"

#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <vector>

namespace kvpvs::visualmethods {

namespace {

// Marks the points the cells name; false when a cell names a point the grid does not have.
struct MarkUsed {
    template <class TState>
    bool operator()(TState& state, std::vector<unsigned char>& aUsed) const
    {
        const auto* pId = state.GetConnectivity()->GetPointer(0);
        const vtkIdType n = state.GetConnectivity()->GetNumberOfValues();
        const auto nPoints = static_cast<vtkIdType>(aUsed.size());
        for (vtkIdType i = 0; i < n; ++i) {
            const vtkIdType id = pId[i];
            if (id < 0 || id >= nPoints)
                return false;
            aUsed[static_cast<size_t>(id)] = 1;
        }
        return true;
    }
};

// The cells with their point ids renumbered by aNew, into pOut; the offsets are shared.
struct Renumber {
    template <class TState>
    void operator()(TState& state, const std::vector<vtkIdType>& aNew, vtkCellArray* pOut) const
    {
        using TValue = typename TState::ValueType;
        const TValue* pIn = state.GetConnectivity()->GetPointer(0);
        const vtkIdType n = state.GetConnectivity()->GetNumberOfValues();
        auto pConn = vtkSmartPointer<typename TState::ArrayType>::New();
        pConn->SetNumberOfValues(n);
        TValue* pTo = pConn->GetPointer(0);
        for (vtkIdType i = 0; i < n; ++i)
            pTo[i] = static_cast<TValue>(aNew[static_cast<size_t>(pIn[i])]);
        pOut->SetData(state.GetOffsets(), pConn.Get());
    }
};

} // namespace

vtkSmartPointer<vtkUnstructuredGrid> UsedPart(vtkUnstructuredGrid* pGrid)
{
    if (!pGrid)
        return nullptr;
    const vtkIdType nPoints = pGrid->GetNumberOfPoints();
    vtkCellArray* pCells = pGrid->GetCells();
    if (!pCells || nPoints == 0)
        return pGrid;
    std::vector<unsigned char> aUsed(static_cast<size_t>(nPoints), 0);
    if (!pCells->Visit(MarkUsed(), aUsed))
        return pGrid;
    const vtkIdType nUsed = std::count(aUsed.begin(), aUsed.end(), 1);
    if (nUsed == nPoints)
        return pGrid;

    std::vector<vtkIdType> aNew(static_cast<size_t>(nPoints), -1);
    vtkNew<vtkIdList> pFrom, pTo;
    pFrom->SetNumberOfIds(nUsed);
    pTo->SetNumberOfIds(nUsed);
    for (vtkIdType i = 0, k = 0; i < nPoints; ++i)
        if (aUsed[static_cast<size_t>(i)]) {
            aNew[static_cast<size_t>(i)] = k;
            pFrom->SetId(k, i);
            pTo->SetId(k, k);
            ++k;
        }
    auto pUsed = vtkSmartPointer<vtkUnstructuredGrid>::New();
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataType(pGrid->GetPoints()->GetDataType());
    pPoints->SetNumberOfPoints(nUsed);
    pGrid->GetPoints()->GetData()->GetTuples(pFrom, pPoints->GetData());
    pUsed->SetPoints(pPoints);
    pUsed->GetPointData()->CopyAllocate(pGrid->GetPointData(), nUsed);
    pUsed->GetPointData()->CopyData(pGrid->GetPointData(), pFrom, pTo);
    vtkNew<vtkCellArray> pRenumbered;
    pCells->Visit(Renumber(), aNew, pRenumbered.Get());
    pUsed->SetCells(pGrid->GetCellTypesArray(), pRenumbered);
    pUsed->GetCellData()->ShallowCopy(pGrid->GetCellData());
    return pUsed;
}

} // namespace kvpvs::visualmethods
