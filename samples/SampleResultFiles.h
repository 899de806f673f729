// The solver's result files of the sample project: the '2' file, the '1' file and the direct
// file beside one base path, written with the result-set builder from the document's model
// (elements, nodes, materials) and the sample's shaking (SampleDynamics.h: its modal
// coordinates and its mode-shape law, extended from the struts to every node), stored once as
// modal superposition and once as direct integration of the same motion, so that the element
// histories that the recovery library recomputes from them agree between the two. Every wall
// plate has its PLAT record (a reference flat-shell matrix of its section) and every soil
// hexahedron its SOLD record (the reference hexahedron's matrix, the solver's frame global),
// every six- or eight-node plate (the base slab of SampleSlab.h) its PLTH record, so that plate
// and solid histories can be recomputed; ConnectSampleResultFiles connects a shaking case with
// the files.
#pragma once
#include "DBDoc.h"
#include "SampleDynamics.h"

#include <array>
#include <map>
#include <string>

namespace kvpvs::sample {

// Histories of the result files (record index in THIF) and the number of the direct file.
constexpr int kResultHistoryModal = 1;
constexpr int kResultHistoryDirect = 2;
constexpr int kResultDirectFile = 1;
// The product the files are named for ("K.V.R": ".ka2", ".ka1", ".KAT1").
constexpr int kResultProduct = 4;

struct SampleResultFiles {
    std::string strElemFile, strResultFile, strDirectFile;
    // ELMT record index of each element (all elements, in key order from 1).
    std::map<unsigned int, int> elementNumber;
    // PLAT record index of each wall plate (the plates in key order from 1).
    std::map<unsigned int, int> plateRecord;
    // SOLD record index of each soil hexahedron (the hexahedra in key order from 1).
    std::map<unsigned int, int> solidRecord;
    // PLTH record index of each six- or eight-node plate (the base slab's, in key order from 1).
    std::map<unsigned int, int> quadPlateRecord;
    // Equation numbers of the six degrees of freedom of each node, numbered in node-key order;
    // 0 for a held one: every freedom on the model's base, and u, theta-y, theta-z on the
    // centre line x = 0 (symmetry).
    std::map<unsigned int, std::array<int, 6>> equations;
    int nEquations = 0;
    int nModes = 0, nSteps = 0;
    double dDt = 0.0;
    double dBaseZ = 0.0, dHeight = 0.0;  // elevation of the base (unshifted) and the model's height [m]
};

// Writes the files of the document's model beside basePath (no extension), for the shaking of
// the given options (its modes, steps and time step: the direct file holds 24 bytes per
// equation and step, about 95 MB for the 400 steps of the sample's shaking). FALSE, with the
// reason in pError when given, when the options are out of range, the model has no nodes or
// elements or an element refers to a node, material or plate section that is missing, or a
// file cannot be written.
BOOL WriteSampleResultFiles(CDBDoc& doc, const std::string& basePath, const DynamicsOptions& opt,
                            SampleResultFiles* pFiles = nullptr, std::string* pError = nullptr);

// Connects a shaking case of the document (kAcasQuakeModal or kAcasQuakeDirect) with written
// files: their family-2 file, the case's history in them, and each wall plate's PLAT, each soil
// hexahedron's SOLD and each slab plate's PLTH record with its ELMT record. FALSE for another case or one the document does not hold.
BOOL ConnectSampleResultFiles(CDBDoc& doc, unsigned int nAcasK, const SampleResultFiles& files);

// Mode shape of mode m (from 1) at a point, for degree of freedom d (1..6: u, v, w, then the
// rotations about x, y, z): the shaking's sway along x, growing from the base at elevation
// zBase over the height h to the surface, with a little y and z coupling. Translations vanish
// on the base.
double SampleModeShape(int m, const double p[3], double zBase, double h, int d);

} // namespace kvpvs::sample
