#pragma once
// Retained work storage of the plate and shell routines, one instance per build (a member
// of ElementLibrary). The result routines keep their element data here from a rebuilding
// call to the next; shell_stiffness keeps its last condensation so that a repeated element
// is not rebuilt. Everything is fixed-size: no routine allocates.

#include <array>

#include "recovery/kernels/colmajor.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

struct QuadMembraneWork {
    Mat33 D;
    FixedMatrix<3, 12> B;
    FixedMatrix<4, 4> A;
    double c1 = 0.0, c2 = 0.0, c3 = 0.0;  // isotropic moduli of the last mode 0 or 1 call
};

struct QuadThickWork {
    FixedMatrix<3, 4> P;
    FixedMatrix<2, 4> XL, DN, DP;
    FixedVector<4> h;
    FixedMatrix<2, 2> G, Ds;
    FixedMatrix<3, 24> B;
    FixedMatrix<4, 12> A;
    FixedMatrix<2, 12> Bs;
    FixedMatrix<12, 12> Km;
    FixedMatrix<4, 9> H;
    FixedVector<12> F;
    Mat33 Dp, Db;
};

struct QuadThinWork {
    FixedMatrix<3, 4> XG, XL;
    FixedMatrix<2, 4> XY, DN;
    Mat33 Db;
    QuadThinEdgeTerms edge;
    FixedMatrix<3, 9> S;
    FixedMatrix<3, 24> B;
    FixedMatrix<3, 12> Bm;  // drilling membrane strains, u, v, theta-z per node
    FixedMatrix<12, 12> Km;
    FixedMatrix<4, 9> H;
    FixedVector<12> F;
    FixedMatrix<24, 24> work;
    FixedVector<4> area;
};

struct TriStrainWork {
    FixedMatrix<3, 9> Q, F;
    Mat33 V;
    FixedMatrix<2, 3> E;
};

struct TriMembraneWork {
    Mat33 Dm;
    FixedMatrix<3, 9> B;
};

struct TriThickWork {
    FixedMatrix<2, 3> XY, DL, Ag;
    FixedMatrix<2, 6> DN;
    FixedVector<3> NL;
    Mat33 Dp, Db, Dw, X;
    FixedMatrix<3, 9> M, An, Bb;
    FixedMatrix<2, 9> Bs;
};

struct TriThinWork {
    FixedMatrix<2, 3> XY, DL;
    FixedMatrix<2, 6> DN;
    Mat33 Dp, DM;
};

struct DktWork {
    Mat33 A1, A2;
};

// Element data of quad_thick_results (and, separately, of quad_thick_results_full) for its
// five points (centre, then the Gauss points in the order of the corner nodes).
struct QuadThickResultsWork {
    Mat33 Dp, Dt;
    FixedMatrix<2, 2> Ds, G;
    int lo = 3, hi = 5;
    FixedMatrix<3, 4> P;
    FixedMatrix<2, 4> XL, DP, DNw;
    FixedVector<4> h, alpha;
    FixedMatrix<12, 12> Km;
    FixedMatrix<4, 9> H;
    FixedVector<12> F;
    FixedMatrix<4, 12> A;
    std::array<FixedMatrix<2, 4>, 5> DN;
    std::array<FixedMatrix<3, 24>, 5> B;
    std::array<FixedMatrix<3, 4>, 5> Bi;
    std::array<FixedMatrix<2, 12>, 5> Bs;
};

struct QuadThinResultsWork {
    Mat33 D, Db;
    FixedMatrix<3, 4> XG, XL;
    FixedMatrix<2, 4> XY, DN;
    int lo = 3, hi = 5;
    QuadThinEdgeTerms edge;
    FixedMatrix<12, 12> Km;
    FixedMatrix<4, 9> H;
    FixedVector<12> F;
    FixedVector<4> alpha;
    std::array<FixedMatrix<3, 9>, 5> S;
    std::array<double, 5> detJ{};
    std::array<FixedMatrix<3, 24>, 5> B;
    std::array<FixedMatrix<3, 4>, 5> Gb;
};

// Centroid data of one triangular result routine.
struct TriResultsWork {
    double t = 0.0, A = 0.0, Gb1 = 0.0, Gb2 = 0.0;
    Mat33 D;
    FixedMatrix<2, 3> XY, DL;
    FixedMatrix<2, 6> DV;
    FixedVector<3> x, y, z, L;
    FixedMatrix<3, 9> Bm, M1, M2;
    FixedMatrix<2, 9> S;
    Mat33 alpha;
};

// shell_stiffness: the element matrix and, for the last element with releases, its
// condensed coupling rows with everything they were built from.
struct ShellStiffnessWork {
    FixedMatrix<24, 24> K, W, R;
    std::array<int, 24> flag{}, perm{};
    FixedVector<24> row, col;
    FixedVector<4> x, y, z;
    int released = 0;
    bool valid = false;
    struct Key {
        int plate_type = 0, nnodes = 0, material_type = 0, plane_mode = 0;
        std::array<int, 24> flag{};
        std::array<double, 12> xyz{};
        std::array<double, 9> axes{}, ortho{};
        std::array<double, 4> scalars{};  // E, nu, membrane and bending thickness
    } key;
};

struct PlateWork {
    QuadMembraneWork quad_membrane;
    QuadThickWork quad_thick;
    QuadThinWork quad_thin;
    TriStrainWork tri_strain;
    TriMembraneWork tri_membrane;
    TriThickWork tri_thick;
    TriThinWork tri_thin;
    DktWork dkt;
    QuadThickResultsWork quad_thick_results, quad_thick_results_full;
    QuadThinResultsWork quad_thin_results;
    TriResultsWork tri_thick_results, tri_thin_results;
    ShellStiffnessWork shell;
};

}  // namespace kvpvs::recovery
