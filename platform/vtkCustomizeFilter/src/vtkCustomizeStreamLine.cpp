#include "vtkCustomizeStreamLine.h"

#include <vtkDataArray.h>
#include <vtkDataSet.h>
#include <vtkInformation.h>
#include <vtkInformationVector.h>
#include <vtkObjectFactory.h>
#include <vtkPointData.h>
#include <vtkPolyData.h>
#include <vtkRungeKutta2.h>
#include <vtkSmartPointer.h>

vtkStandardNewMacro(vtkCustomizeStreamLine);

vtkCustomizeStreamLine::vtkCustomizeStreamLine()
{
    SetIntegrator(vtkSmartPointer<vtkRungeKutta2>::New());
    SetIntegrationStepUnit(LENGTH_UNIT);
    SetComputeVorticity(false);
}

void vtkCustomizeStreamLine::SetStepLength(double d)
{
    SetIntegrationStepUnit(LENGTH_UNIT);
    SetInitialIntegrationStep(d);
    SetMinimumIntegrationStep(d);
    SetMaximumIntegrationStep(d);
}

int vtkCustomizeStreamLine::RequestData(vtkInformation* request, vtkInformationVector** inputVector,
                                        vtkInformationVector* outputVector)
{
    const int nResult = vtkStreamTracer::RequestData(request, inputVector, outputVector);
    vtkDataSet* pInput = vtkDataSet::GetData(inputVector[0], 0);
    vtkPolyData* pOutput = vtkPolyData::GetData(outputVector, 0);
    vtkDataArray* pScalars = pInput && pInput->GetPointData() ? pInput->GetPointData()->GetScalars() : nullptr;
    // The tracer interpolates every point array; the one that was the input's scalars stays so.
    if (pOutput && pScalars && pScalars->GetName() && !pOutput->GetPointData()->GetScalars())
        pOutput->GetPointData()->SetActiveScalars(pScalars->GetName());
    return nResult;
}
