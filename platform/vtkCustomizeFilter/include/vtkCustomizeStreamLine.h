// Stand-in for the product's stream-line filter: VTK's stream tracer with the stream-line
// settings the product's displays use. The propagation time is the maximum propagation (a
// length when the field has unit vectors); the step length is the fixed step of the integrator,
// in length units; the integrator is second-order Runge-Kutta and vorticity is off unless set.
// Choices: speed and orientation scalars are never made (their switches are kept and only
// recorded); the output keeps the input's point scalars as its active scalars.
#pragma once
#include <vtkStreamTracer.h>

class vtkCustomizeStreamLine : public vtkStreamTracer {
public:
    static vtkCustomizeStreamLine* New();
    vtkTypeMacro(vtkCustomizeStreamLine, vtkStreamTracer);

    void SetMaximumPropagationTime(double d) { SetMaximumPropagation(d); }
    // The fixed integration step, in length units.
    void SetStepLength(double d);
    void SetIntegrationDirectionToIntegrateBothDirections() { SetIntegrationDirectionToBoth(); }
    vtkSetMacro(SpeedScalars, vtkTypeBool);
    vtkGetMacro(SpeedScalars, vtkTypeBool);
    vtkBooleanMacro(SpeedScalars, vtkTypeBool);
    vtkSetMacro(OrientationScalars, vtkTypeBool);
    vtkGetMacro(OrientationScalars, vtkTypeBool);
    vtkBooleanMacro(OrientationScalars, vtkTypeBool);

protected:
    vtkCustomizeStreamLine();
    ~vtkCustomizeStreamLine() override = default;
    int RequestData(vtkInformation* request, vtkInformationVector** inputVector,
                    vtkInformationVector* outputVector) override;

    vtkTypeBool SpeedScalars = 0;
    vtkTypeBool OrientationScalars = 0;

public:
    vtkCustomizeStreamLine(const vtkCustomizeStreamLine&) = delete;
    void operator=(const vtkCustomizeStreamLine&) = delete;
};
