// Stand-in for the host's rectangular grid object: an interactive object that draws the lines
// x = origin + x position and y = origin + y position of a grid on a plane, shown as a dialog's
// temporary preview. The host leaves the destructor to the modules that show the object (its
// header declares it only). Choices: nothing is drawn or selectable; the object keeps its
// origin, positions, option and plane for the host to read.
#pragma once
#include <AIS_InteractiveObject.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <gp_Ax3.hxx>
#include <gp_Pnt.hxx>

#include <vector>

class AIS_RectGrid : public AIS_InteractiveObject {
    DEFINE_STANDARD_RTTI_INLINE(AIS_RectGrid, AIS_InteractiveObject)
public:
    AIS_RectGrid(const gp_Pnt& origin, const TColStd_Array1OfReal& xPositions, const TColStd_Array1OfReal& yPositions,
                 int nOption)
        : myOrigin(origin), myOption(nOption)
    {
        for (int i = xPositions.Lower(); i <= xPositions.Upper(); ++i)
            myX.push_back(xPositions.Value(i));
        for (int i = yPositions.Lower(); i <= yPositions.Upper(); ++i)
            myY.push_back(yPositions.Value(i));
    }
    ~AIS_RectGrid() override;

    void SetGridPlane(const gp_Ax3& plane) { myPlane = plane; }
    const gp_Ax3& GridPlane() const { return myPlane; }
    const gp_Pnt& Origin() const { return myOrigin; }
    const std::vector<double>& XPositions() const { return myX; }
    const std::vector<double>& YPositions() const { return myY; }
    int Option() const { return myOption; }

private:
    void Compute(const Handle(PrsMgr_PresentationManager)&, const Handle(Prs3d_Presentation)&,
                 const Standard_Integer) override
    {
    }
    void ComputeSelection(const Handle(SelectMgr_Selection)&, const Standard_Integer) override {}

    gp_Pnt myOrigin;
    std::vector<double> myX;
    std::vector<double> myY;
    int myOption = 0;
    gp_Ax3 myPlane;
};
