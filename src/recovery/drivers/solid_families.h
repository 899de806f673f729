// The solid families of the element-results entry. linear_solid_results (4-, 6- and 8-node
// elements) applies the result matrix that the solver stored with the element; the quadratic
// family (10, 15 and 20 nodes) forms its stiffness and stress rows from the element's
// geometry and material, fits the integration-point stresses to the nodes, and both derive
// strains from stresses. Both serve both builds (the build's retained state in
// FamilyBuildState) with the family-table signature.
#pragma once

#include "recovery/drivers/driver_state.h"

#include <cstddef>
#include <memory>

namespace kvpvs::recovery {

class SolidCentreRowsStore;

// The centre rows that a display keeps for its later frames, freed with it. A single-step
// request for the centre stress or strain of a quadratic solid forms only the element's six
// centre rows, and keeps them by element record (for up to 32768 records) in the keep in use.
class CentreRowsKeep {
public:
    CentreRowsKeep();
    ~CentreRowsKeep();
    CentreRowsKeep(const CentreRowsKeep&) = delete;
    CentreRowsKeep& operator=(const CentreRowsKeep&) = delete;

    // The element records whose rows are kept.
    std::size_t rows() const;

private:
    friend class CentreRowsUse;
    std::unique_ptr<SolidCentreRowsStore> store_;
};

// While it lives, single-step centre requests keep their rows in `keep` and find them there;
// outside every use no rows are kept. Uses nest: the innermost one is in force.
class CentreRowsUse {
public:
    explicit CentreRowsUse(CentreRowsKeep& keep);
    ~CentreRowsUse();
    CentreRowsUse(const CentreRowsUse&) = delete;
    CentreRowsUse& operator=(const CentreRowsUse&) = delete;

private:
    SolidCentreRowsStore* previous_;
};

// Work rows per value: 1..24 nodal forces, 25..30 centre stress, 25 + 6k.. node k stress,
// 79..84 centre strain, 79 + 6k.. node k strain. axes_option 0: forces f <- T^T f of the
// stored direction matrix; 1: stresses and strains sigma <- T^T sigma T.
void linear_solid_results(DriverBuildState& build, double* work, int axes_option);

// Work rows per value: 1..60 nodal forces, 61..66 centre stress, 67 + 6(k - 1).. node k
// stress, 187..192 centre strain, 193 + 6(k - 1).. node k strain. Forces are global with
// axes_option 1 and T f in element axes with 0; stresses and strains are in element axes
// with 0 and global with 1.
void quadratic_solid_results(DriverBuildState& build, double* work, int axes_option);

// Element result matrix M(228, 120) of an nn-node quadratic solid with node coordinates
// X(3, nn) and element axes T: rows 1..3nn the global stiffness, rows 61.. the element-axes
// stresses at the centre and the npt integration points, per unit global translation.
void quadratic_solid_result_matrix(DriverBuildState& build, int nn, MatView M, ConstMatView X, const Mat33& T,
                                   int npt);

} // namespace kvpvs::recovery
