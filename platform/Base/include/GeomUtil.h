// Stand-in for the host's geometry helpers of work planes: a point given in a work plane's own
// coordinates (along its X and Y directions from its origin) placed in model coordinates, and
// a model point's coordinates in a work plane's axes.
#pragma once
#include <gp_Ax3.hxx>
#include <gp_Pnt.hxx>
#include <gp_Pnt2d.hxx>

class CGeomUtil {
public:
    static void Convert2dTo3dPnt(const gp_Ax3& plane, const gp_Pnt2d& p2d, gp_Pnt& p3d)
    {
        const gp_XYZ& o = plane.Location().XYZ();
        p3d.SetXYZ(o + plane.XDirection().XYZ() * p2d.X() + plane.YDirection().XYZ() * p2d.Y());
    }
    // The point's coordinates along the axes' X, Y and main directions from their origin.
    static gp_Pnt GetTransformedCoordbyAxis(const gp_Pnt& p, const gp_Ax3& axes)
    {
        const gp_XYZ d = p.XYZ() - axes.Location().XYZ();
        return gp_Pnt(d.Dot(axes.XDirection().XYZ()), d.Dot(axes.YDirection().XYZ()), d.Dot(axes.Direction().XYZ()));
    }
};
