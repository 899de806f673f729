#pragma once
// The named shared data blocks of the element result-recovery library: one storage that
// both builds and every routine share. The entry of the recovery drivers fills the entry,
// path and lookup blocks; the family drivers fill the material block, the section values
// and the two mode words for one element; the kernels read them (and the 4-node shell
// kernels write the quadrilateral edge block). Field names follow the drivers' blocks; the
// kernels' names (E, nu, ortho, membrane and bending thickness) are accessors here.

#include <array>
#include <cstddef>

namespace kvpvs::recovery {

struct EntryBlock {
    int element_kind = 0;       // 1..8
    int element_type = 0;       // the solver's element type number
    int component_row = 0;      // row of the 350-row work array that is returned
    int history_id = 0;         // record index of the history
    int value_count = 0;        // n, the number of time steps
    int step_number = 0;        // single-step build: the step to recover
    int product_selector = 0;   // 1..5
    char product_code[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};  // 5 characters, blank-padded
    int mode_selector = 0;      // 0 all modes, k one mode
    int history_type = 0;       // 1 modal superposition, 2 direct
    int modal_case = 0;
    int dmed_set = 0;           // number of the direct result file (1..99)
    int step_count = 0;
    int mode_count = 0;
    int thlg_value = 1;
    int mses_present = 0;
};

struct ResultPathBlock {
    char result_path[1024] = {};  // blank-padded by the entry
    int result_path_length = 0;
};

struct LocateBlock {
    char located_key[4] = {' ', ' ', ' ', ' '};
    int located_sub_id = 0;
    int located_first = 0;   // first record
    int located_words = 0;   // record length in 4-byte words
    int located_count = 0;   // number of records
};

// Material of the current element. The type is stored as the drivers read it from the
// material record; each kernel tests it as its own contract says (most take 1 as
// orthotropic and anything else as isotropic; the solid matrix takes 0 and 1 only).
struct MaterialBlock {
    int material_type = 0;
    std::array<double, 9> material_constants{};  // ortho(1..9), see ortho()
    double elastic_modulus = 0.0;                // E (E1 when orthotropic)
    double poisson_ratio = 0.0;                  // nu (nu12 when orthotropic)

    // ortho(1) E2, (2) nu13, (4) E3, (5) nu23, (7) G12, (8) G23, (9) G31; (3), (6) unread.
    double ortho(int i) const { return material_constants[static_cast<std::size_t>(i - 1)]; }
};

// Quadrilateral edge block of the 4-node shell kernels; edge k runs from node k to k+1.
struct QuadEdgeBlock {
    std::array<double, 4> DX{}, DY{};  // edge projections in local coordinates
    std::array<double, 4> PHI{};       // edge shear ratio 2.4/(1-nu) (t/L)^2
    std::array<double, 4> CO{}, SI{};  // DX/L, DY/L
    std::array<double, 4> L{};         // edge lengths
    std::array<double, 4> Q{};         // (1/L)/(1+PHI)
};

// Triangle edge block of the shear-deformable triangles: 33 slots, 1..24 in use (side
// projections, lengths, direction cosines and sines, corner cross products, shear ratios,
// reduced inverse lengths). Sides 1, 2, 3 run 1-2, 2-3, 3-1. Written by tri_edge_shear.
struct TriEdgeBlock {
    std::array<double, 33> slot{};

    double& X21() { return slot[0]; }
    double& X13() { return slot[1]; }
    double& Y21() { return slot[2]; }
    double& Y13() { return slot[3]; }
    double& X32() { return slot[4]; }
    double& Y32() { return slot[5]; }
    double& L(int k) { return slot[static_cast<std::size_t>(5 + k)]; }
    double& C(int k) { return slot[static_cast<std::size_t>(8 + k)]; }
    double& S(int k) { return slot[static_cast<std::size_t>(11 + k)]; }
    double& W(int k) { return slot[static_cast<std::size_t>(14 + k)]; }
    double& phi(int k) { return slot[static_cast<std::size_t>(17 + k)]; }
    double& c(int k) { return slot[static_cast<std::size_t>(20 + k)]; }
    // Projections of side k: (X21, Y21), (X32, Y32), (X13, Y13).
    double dX(int k) { return k == 1 ? X21() : (k == 2 ? X32() : X13()); }
    double dY(int k) { return k == 1 ? Y21() : (k == 2 ? Y32() : Y13()); }
};

// Geometry block of the explicit discrete Kirchhoff triangle, in its stored order:
// x2, x3, y2, y3, x23, y23, 1/l23^2, 1/l31^2, 1/l12^2, P4, P5, P6, t4, t5, q4, q5, r4, r5.
struct DktGeometryBlock {
    double x2 = 0, x3 = 0, y2 = 0, y3 = 0, x23 = 0, y23 = 0;
    double il23 = 0, il31 = 0, il12 = 0;
    double P4 = 0, P5 = 0, P6 = 0, t4 = 0, t5 = 0, q4 = 0, q5 = 0, r4 = 0, r5 = 0;
};

struct SharedBlocks {
    EntryBlock entry_block;
    ResultPathBlock result_path_block;
    LocateBlock locate_block;
    MaterialBlock material_block;
    // Section of the current element; value 1 is the membrane thickness, value 2 the
    // bending thickness, the others as each family driver fills them.
    std::array<double, 11> section_values{};
    int plane_mode = 0;     // 2-D mode word: 0 plane stress, 1 plane strain, 2 axisymmetric
    int membrane_flag = 0;  // history build's 4-node result routine: 0 adds the bubble modes
    // Axisymmetric coordinate selectors (1..3): which global coordinate is the radius and
    // which the axis; read only in 2-D mode 2, set by nothing in the library.
    int radial_selector = 0;
    int axial_selector = 0;
    QuadEdgeBlock quad_edge_block;
    TriEdgeBlock tri_edge_block;
    DktGeometryBlock dkt_geometry_block;

    double E() const { return material_block.elastic_modulus; }
    double nu() const { return material_block.poisson_ratio; }
    double membrane_thickness() const { return section_values[0]; }
    double bending_thickness() const { return section_values[1]; }
};

// The one instance that both builds share.
SharedBlocks& shared_blocks();

}  // namespace kvpvs::recovery
