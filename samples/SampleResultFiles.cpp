#include "SampleResultFiles.h"

#include "DBModelRecords.h"
#include "SampleMesh.h"
#include "SampleSchema.h"
#include "THResultBuilder.h"
#include "result_files/element_records.h"
#include "result_files/reference_elements.h"
#include "result_files/reference_shell.h"
#include "result_files/result_file_writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kvpvs::sample {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Element records: the material number, the node count and up to eight node numbers.
constexpr int kElementWords = 10;

BOOL Fail(std::string* pError, const std::string& str)
{
    if (pError)
        *pError = str;
    return FALSE;
}

// The PLAT record of a wall plate: its nodes' equations, the reference flat-shell matrix of its
// section in global axes, its corners, material and thickness (membrane and bending alike),
// shear-deformable. False for a plate without four nodes, material or thickness.
bool PlateRecord(CDBDoc& doc, const T_ELEM_D& e, const std::map<unsigned int, T_NODE_D>& xyz,
                 const std::map<unsigned int, std::array<int, 6>>& equations, resultfiles::Record& rec)
{
    T_GMAT_D m;
    T_ATTR_D a;
    T_GPRO_D sec;
    if (e.aNodeK.GetSize() != 4 || !CClassGmat(doc.GetModelDB()).Get(e.nMatlK, m) ||
        !CClassAttr(doc.GetModelDB()).Get(e.nPropK, a) || !CClassGpro(doc.GetModelDB()).Get(a.nGproK, sec) ||
        !(sec.dThickness > 0.0))
        return false;
    resultfiles::PlateRecordFacts f;
    std::vector<resultfiles::Point3> corners;
    for (int k = 0; k < 4; ++k) {
        const auto n = xyz.find(e.aNodeK[k]);
        const auto q = equations.find(e.aNodeK[k]);
        if (n == xyz.end() || q == equations.end())
            return false;
        corners.push_back({n->second.dXyz[0], n->second.dXyz[1], n->second.dXyz[2]});
        f.nodes[static_cast<std::size_t>(k)] = e.aNodeK[k];
        f.xyz[static_cast<std::size_t>(k)] = corners.back();
        for (int d : q->second)
            f.equations.push_back(d);
    }
    f.matrix = resultfiles::shell_stiffness_global(corners, resultfiles::flat_element_axes(corners),
                                                    {m.dElast, m.dPoisson, sec.dThickness, sec.dThickness});
    f.matrix_rows = 24;
    f.section[0] = f.section[1] = sec.dThickness;
    f.E = m.dElast;
    f.nu = m.dPoisson;
    rec = resultfiles::plate_record(f);
    return true;
}

// The SOLD record of a soil hexahedron: its nodes' equations and the reference hexahedron's
// matrix of its material; the solver's frame is global (T the identity). False for an element
// without eight nodes or material.
bool SolidRecord(CDBDoc& doc, const T_ELEM_D& e, const std::map<unsigned int, T_NODE_D>& xyz,
                 const std::map<unsigned int, std::array<int, 6>>& equations, std::vector<double>& rec)
{
    T_GMAT_D m;
    if (e.aNodeK.GetSize() != 8 || !CClassGmat(doc.GetModelDB()).Get(e.nMatlK, m))
        return false;
    resultfiles::SolidRecordFacts f;
    std::vector<resultfiles::Point3> corners;
    for (int k = 0; k < 8; ++k) {
        const auto n = xyz.find(e.aNodeK[k]);
        const auto q = equations.find(e.aNodeK[k]);
        if (n == xyz.end() || q == equations.end())
            return false;
        corners.push_back({n->second.dXyz[0], n->second.dXyz[1], n->second.dXyz[2]});
        for (int d : q->second)
            f.equations.push_back(d);
    }
    f.matrix = resultfiles::solid_reference_matrix(corners, m.dElast, m.dPoisson);
    f.node_count = 8;
    rec = resultfiles::solid_record_values(f);
    return true;
}

// The PLTH record of a six- or eight-node plate: its nodes' equations, node numbers, section
// (membrane and bending alike) and material. False for a plate without section or a node missing
// from the equations.
bool QuadPlateRecord(CDBDoc& doc, const T_ELEM_D& e, const std::map<unsigned int, std::array<int, 6>>& equations,
                     resultfiles::QuadPlateRecordFacts& f)
{
    T_GMAT_D m;
    T_ATTR_D a;
    T_GPRO_D sec;
    const int nNodes = static_cast<int>(e.aNodeK.GetSize());
    if ((nNodes != 6 && nNodes != 8) || !CClassGmat(doc.GetModelDB()).Get(e.nMatlK, m) ||
        !CClassAttr(doc.GetModelDB()).Get(e.nPropK, a) || !CClassGpro(doc.GetModelDB()).Get(a.nGproK, sec) ||
        !(sec.dThickness > 0.0))
        return false;
    f = resultfiles::QuadPlateRecordFacts();
    f.node_count = nNodes;
    for (int k = 0; k < nNodes; ++k) {
        const auto q = equations.find(e.aNodeK[k]);
        if (q == equations.end())
            return false;
        f.nodes[static_cast<std::size_t>(k)] = e.aNodeK[k];
        for (int d : q->second)
            f.equations.push_back(d);
    }
    f.section[0] = f.section[1] = sec.dThickness;
    f.E = m.dElast;
    f.nu = m.dPoisson;
    return true;
}

} // namespace

BOOL ConnectSampleResultFiles(CDBDoc& doc, unsigned int nAcasK, const SampleResultFiles& files)
{
    int nHistory = 0;
    if (nAcasK == kAcasQuakeModal)
        nHistory = kResultHistoryModal;
    else if (nAcasK == kAcasQuakeDirect)
        nHistory = kResultHistoryDirect;
    else
        return FALSE;
    // Per element its record in its family's data set and its element record.
    std::map<unsigned int, std::pair<int, int>> plates;
    for (const auto& [k, nRecord] : files.plateRecord)
        plates[k] = {nRecord, files.elementNumber.at(k)};
    for (const auto& [k, nRecord] : files.solidRecord)
        plates[k] = {nRecord, files.elementNumber.at(k)};
    for (const auto& [k, nRecord] : files.quadPlateRecord)
        plates[k] = {nRecord, files.elementNumber.at(k)};
    return CTHResultBuilder::ConnectResultFiles(doc, nAcasK, files.strElemFile.c_str(), nHistory, plates);
}

double SampleModeShape(int m, const double p[3], double zBase, double h, int d)
{
    // The shaking's law, spelled as it is there so that the struts' nodes get the same bits:
    // quarter waves sin((2m - 1) pi (z - zBase) / 2h) of a shear column fixed at its base.
    const double s = std::sin((2 * m - 1) * kPi * (p[2] - zBase) / (2.0 * h));
    const double x = 0.3 + p[0] / 10.0;
    switch (d) {
    case 1: return x * s;
    case 2: return 0.1 * x * s * std::cos(kPi * p[1] / 8.0);
    case 3: return 0.05 * std::sin(m * kPi * p[0] / 10.0) * s;
    case 4: return 0.0;
    case 5: return 0.01 * m * std::cos((2 * m - 1) * kPi * (p[2] - zBase) / (2.0 * h));
    default: return 0.002 * s;
    }
}

BOOL WriteSampleResultFiles(CDBDoc& doc, const std::string& basePath, const DynamicsOptions& opt,
                            SampleResultFiles* pFiles, std::string* pError)
{
    if (opt.nModes < 1 || opt.nModes > 8 || opt.nSteps < 1 || !(opt.dDt > 0.0))
        return Fail(pError, "modes must be 1 to 8, steps and time step positive");
    if (basePath.empty())
        return Fail(pError, "no base path for the result files");

    SampleResultFiles files;
    files.nModes = opt.nModes;
    files.nSteps = opt.nSteps;
    files.dDt = opt.dDt;

    CClassNode nodes(doc.GetModelDB());
    CClassElem elems(doc.GetModelDB());
    CClassGmat matls(doc.GetModelDB());
    CArray<unsigned int, unsigned int> nodeKeys, elemKeys, matlKeys;
    nodes.GetKeyList(nodeKeys);
    elems.GetKeyList(elemKeys);
    matls.GetKeyList(matlKeys);
    if (nodeKeys.GetSize() == 0 || elemKeys.GetSize() == 0)
        return Fail(pError, "the document holds no model");

    // Nodes as the model has them, and in the sample's own coordinates (own), in which the
    // supports and the shaking are laid out: the same wherever the model stands.
    std::map<unsigned int, T_NODE_D> xyz, own;
    double shift[3];
    SampleShiftOf(doc, shift);
    double zMin = 0.0, zMax = 0.0;
    for (int i = 0; i < nodeKeys.GetSize(); ++i) {
        T_NODE_D n;
        nodes.Get(nodeKeys[i], n);
        xyz[nodeKeys[i]] = n;
        for (int c = 0; c < 3; ++c)
            n.dXyz[c] -= shift[c];
        own[nodeKeys[i]] = n;
        zMin = i == 0 ? n.dXyz[2] : std::min(zMin, n.dXyz[2]);
        zMax = i == 0 ? n.dXyz[2] : std::max(zMax, n.dXyz[2]);
    }
    if (!(zMax > zMin))
        return Fail(pError, "the model has no height");
    files.dBaseZ = zMin;
    files.dHeight = zMax - zMin;

    resultfiles::ResultSetBuilder b(kResultProduct);

    // Equations: six per node in key order; the base is held, and the centre line holds u,
    // theta-y and theta-z as the shaking's struts do.
    for (const auto& [k, n] : xyz) {
        const double* p = own[k].dXyz;
        const bool bBase = std::fabs(p[2] - zMin) < 1e-9;
        const bool bCentre = std::fabs(p[0]) < 1e-9;
        std::array<int, 6>& eq = files.equations[k];
        for (int j = 0; j < 6; ++j)
            eq[static_cast<std::size_t>(j)] = bBase || (bCentre && (j == 0 || j == 4 || j == 5)) ? 0 : ++files.nEquations;
        b.set_node(static_cast<int>(k), n.dXyz[0], n.dXyz[1], n.dXyz[2]);
    }

    for (int i = 0; i < matlKeys.GetSize(); ++i) {
        T_GMAT_D m;
        matls.Get(matlKeys[i], m);
        b.add_material(static_cast<std::int32_t>(matlKeys[i]), m.dElast, m.dPoisson);
    }

    b.set_element_words(kElementWords);
    std::vector<resultfiles::Record> plates;
    std::vector<std::vector<double>> solids;
    std::vector<resultfiles::QuadPlateRecordFacts> quadPlates;
    for (int i = 0; i < elemKeys.GetSize(); ++i) {
        T_ELEM_D e;
        elems.Get(elemKeys[i], e);
        if (!matls.Exist(e.nMatlK))
            return Fail(pError, "element " + std::to_string(elemKeys[i]) + " has no material record");
        const int nNodes = static_cast<int>(e.aNodeK.GetSize());
        if (nNodes < 1 || nNodes > kElementWords - 2)
            return Fail(pError, "element " + std::to_string(elemKeys[i]) + " has an unexpected node count");
        std::vector<std::int32_t> rest = {nNodes};
        for (int j = 0; j < nNodes; ++j) {
            if (!xyz.count(e.aNodeK[j]))
                return Fail(pError, "element " + std::to_string(elemKeys[i]) + " refers to a missing node");
            rest.push_back(static_cast<std::int32_t>(e.aNodeK[j]));
        }
        const int nNumber = i + 1;
        files.elementNumber[elemKeys[i]] = nNumber;
        b.set_element(nNumber, static_cast<std::int32_t>(e.nMatlK), rest);
        if (e.nType == kElemPlate && (nNodes == 6 || nNodes == 8)) {
            resultfiles::QuadPlateRecordFacts f;
            if (!QuadPlateRecord(doc, e, files.equations, f))
                return Fail(pError, "plate " + std::to_string(elemKeys[i]) + " has no section");
            quadPlates.push_back(f);
            files.quadPlateRecord[elemKeys[i]] = static_cast<int>(quadPlates.size());
        } else if (e.nType == kElemPlate) {
            resultfiles::Record rec;
            if (!PlateRecord(doc, e, xyz, files.equations, rec))
                return Fail(pError, "wall plate " + std::to_string(elemKeys[i]) + " has no four nodes or no section");
            plates.push_back(std::move(rec));
            files.plateRecord[elemKeys[i]] = static_cast<int>(plates.size());
        } else if (e.nType == kElemSolid) {
            std::vector<double> rec;
            if (!SolidRecord(doc, e, xyz, files.equations, rec))
                return Fail(pError, "soil element " + std::to_string(elemKeys[i]) + " has no eight nodes");
            solids.push_back(std::move(rec));
            files.solidRecord[elemKeys[i]] = static_cast<int>(solids.size());
        }
    }
    b.add_family_records("PLAT", resultfiles::PLATE_RECORD_WORDS, std::move(plates));
    resultfiles::add_element_records(b, "SOLD", 3, solids);
    // The histories carry no THLG value, so the family reads sub-id 3, as the wall's PLAT; a
    // project without six- or eight-node plates gets no PLTH data set.
    if (!quadPlates.empty())
        b.add_plth_records(quadPlates, 3);

    // History facts: the same motion as modal superposition (case 1) and as direct
    // integration (direct file 1).
    resultfiles::HistoryFacts modal;
    modal.type = 1;
    modal.case_or_file = 1;
    modal.steps_per_mode = opt.nSteps;
    modal.modes = opt.nModes;
    b.set_history(kResultHistoryModal, modal);
    resultfiles::HistoryFacts direct;
    direct.type = 2;
    direct.case_or_file = kResultDirectFile;
    direct.steps_per_mode = opt.nSteps;
    direct.modes = opt.nModes;
    b.set_history(kResultHistoryDirect, direct);

    // q(m, i), mode after mode as the modal records lie.
    const std::size_t nSteps = static_cast<std::size_t>(opt.nSteps);
    std::vector<double> q(static_cast<std::size_t>(opt.nModes) * nSteps);
    for (int m = 1; m <= opt.nModes; ++m)
        for (int s = 1; s <= opt.nSteps; ++s)
        {
            double v = 0.0, a = 0.0;
            QuakeModalCoordinate(m - 1, opt.dDt * s, q[static_cast<std::size_t>(m - 1) * nSteps + static_cast<std::size_t>(s - 1)], v, a);
        }
    b.set_modal_coordinates(1, opt.nModes, opt.nSteps, q);

    std::vector<double> shape(static_cast<std::size_t>(opt.nModes));
    std::vector<double> series(nSteps);
    for (const auto& [k, n] : own) {
        for (int d = 1; d <= 6; ++d) {
            const int e = files.equations[k][static_cast<std::size_t>(d - 1)];
            if (e == 0)
                continue;
            for (int m = 1; m <= opt.nModes; ++m)
                shape[static_cast<std::size_t>(m - 1)] = SampleModeShape(m, n.dXyz, zMin, files.dHeight, d);
            // The direct series is the modal sum itself, summed in mode order from 0 as the
            // superposition does, so that both histories give the same bits.
            for (std::size_t s = 0; s < nSteps; ++s) {
                double sum = 0.0;
                for (int m = 1; m <= opt.nModes; ++m)
                    sum += q[static_cast<std::size_t>(m - 1) * nSteps + s] * shape[static_cast<std::size_t>(m - 1)];
                series[s] = sum;
            }
            b.set_mode_shape(e, shape);
            b.set_direct_series(kResultDirectFile, e, series);
        }
    }

    files.strElemFile = b.elem_file_name(basePath);
    files.strResultFile = b.result_file_name(basePath);
    files.strDirectFile = b.direct_file_name(basePath, kResultDirectFile);
    if (!b.write(basePath))
        return Fail(pError, "cannot write the result files beside " + basePath);
    if (pFiles)
        *pFiles = std::move(files);
    return TRUE;
}

} // namespace kvpvs::sample
