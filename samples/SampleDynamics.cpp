#include "SampleDynamics.h"

#include "SampleMesh.h"
#include "SampleSchema.h"
#include "THResultBuilder.h"

#include <cmath>
#include <map>
#include <vector>

namespace kvpvs::sample {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Modal frequencies [Hz] and amplitudes [m] of the first eight modes.
constexpr double kFreq[8] = {1.3, 3.1, 5.2, 7.6, 10.1, 12.9, 15.8, 18.8};
constexpr double kAmp[8] = {0.02, 0.006, 0.0025, 0.0012, 6e-4, 3e-4, 1.5e-4, 8e-5};

// Steel strut sections: pipe truss and H-beam [m, kN].
constexpr double kE = 2.1e8, kG = 8.1e7;
constexpr double kTrussA = 0.01;
constexpr double kBeamA = 0.02, kBeamAs = 0.008, kBeamIy = 2.0e-4, kBeamIz = 6.0e-5, kBeamJ = 1.0e-6;
constexpr double kBeamHalfDepth = 0.2, kBeamHalfWidth = 0.15;

// Mode shape of mode k at a point, for degree of freedom j (u, v, w, theta-x, theta-y,
// theta-z): sway along x growing towards the surface, a little y and z coupling.
double ModeShape(int k, const double p[3], int j)
{
    const double h = 24.0; // the soil's depth
    const double s = std::sin((2 * k + 1) * kPi * (p[2] + h) / (2.0 * h));
    const double x = 0.3 + p[0] / 10.0;
    switch (j) {
    case 0: return x * s;
    case 1: return 0.1 * x * s * std::cos(kPi * p[1] / 8.0);
    case 2: return 0.05 * std::sin((k + 1) * kPi * p[0] / 10.0) * s;
    case 3: return 0.0;
    case 4: return 0.01 * (k + 1) * std::cos((2 * k + 1) * kPi * (p[2] + h) / (2.0 * h));
    default: return 0.002 * s;
    }
}

struct Element {
    unsigned int nK = 0;
    unsigned int nNodeK[2] = {0, 0};
    double xyz[2][3] = {};
};

// Rotation R (rows: local x, y, z in global components) of a member along I -> J: local y is
// the global y turned into the plane normal to the member.
void MemberAxes(const Element& e, double R[3][3], double& L)
{
    double d[3];
    for (int i = 0; i < 3; ++i)
        d[i] = e.xyz[1][i] - e.xyz[0][i];
    L = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (int i = 0; i < 3; ++i)
        R[0][i] = d[i] / L;
    double y[3] = {0.0, 1.0, 0.0};
    if (std::fabs(R[0][1]) > 0.9) {
        y[1] = 0.0;
        y[2] = 1.0;
    }
    const double dot = y[0] * R[0][0] + y[1] * R[0][1] + y[2] * R[0][2];
    double n = 0.0;
    for (int i = 0; i < 3; ++i) {
        R[1][i] = y[i] - dot * R[0][i];
        n += R[1][i] * R[1][i];
    }
    for (int i = 0; i < 3; ++i)
        R[1][i] /= std::sqrt(n);
    R[2][0] = R[0][1] * R[1][2] - R[0][2] * R[1][1];
    R[2][1] = R[0][2] * R[1][0] - R[0][0] * R[1][2];
    R[2][2] = R[0][0] * R[1][1] - R[0][1] * R[1][0];
}

// Local stiffness of a space frame member (u, v, w, theta-x, theta-y, theta-z at I, then J).
void FrameStiffness(double L, double K[12][12])
{
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 12; ++j)
            K[i][j] = 0.0;
    auto put = [&](int i, int j, double v) { K[i][j] = v; K[j][i] = v; };
    const double a = kE * kBeamA / L, t = kG * kBeamJ / L;
    put(0, 0, a); put(6, 6, a); put(0, 6, -a);
    put(3, 3, t); put(9, 9, t); put(3, 9, -t);
    const double z12 = 12 * kE * kBeamIz / (L * L * L), z6 = 6 * kE * kBeamIz / (L * L);
    const double z4 = 4 * kE * kBeamIz / L, z2 = 2 * kE * kBeamIz / L;
    put(1, 1, z12); put(1, 5, z6); put(1, 7, -z12); put(1, 11, z6);
    put(5, 5, z4); put(5, 7, -z6); put(5, 11, z2);
    put(7, 7, z12); put(7, 11, -z6); put(11, 11, z4);
    const double y12 = 12 * kE * kBeamIy / (L * L * L), y6 = 6 * kE * kBeamIy / (L * L);
    const double y4 = 4 * kE * kBeamIy / L, y2 = 2 * kE * kBeamIy / L;
    put(2, 2, y12); put(2, 4, -y6); put(2, 8, -y12); put(2, 10, -y6);
    put(4, 4, y4); put(4, 8, y6); put(4, 10, y2);
    put(8, 8, y12); put(8, 10, y6); put(10, 10, y4);
}

// Recovery array of a truss strut (n = 12, m = 4): N = EA/L e . (uJ - uI); column 0 gives -N
// (the function reports -column 0 at end I), column 1 gives N; stress factors 1/A.
std::vector<double> TrussArray(const Element& e, const int eq[2][6])
{
    const int n = 12, m = 4;
    std::vector<double> a(static_cast<size_t>(n + n * m + 3), 0.0);
    double R[3][3], L;
    MemberAxes(e, R, L);
    const double k = kE * kTrussA / L;
    for (int end = 0; end < 2; ++end)
        for (int j = 0; j < 6; ++j)
            a[static_cast<size_t>(6 * end + j)] = eq[end][j];
    for (int end = 0; end < 2; ++end)
        for (int i = 0; i < 3; ++i) {
            const int d = 6 * end + i;
            const double c = (end == 0 ? 1.0 : -1.0) * k * R[0][i];
            a[static_cast<size_t>(n + 0 + d * m)] = c;
            a[static_cast<size_t>(n + 1 + d * m)] = -c;
        }
    a[static_cast<size_t>(n + 2)] = 1.0 / kTrussA;
    a[static_cast<size_t>(n + 3)] = 1.0 / kTrussA;
    a[60] = n;
    a[61] = m;
    return a;
}

// Recovery array of a beam strut (n = 12, m = 26): columns 0-11 the rows of K T (end forces in
// member axes from global displacements), then the section coefficients of both ends.
std::vector<double> BeamArray(const Element& e, const int eq[2][6])
{
    const int n = 12, m = 26;
    std::vector<double> a(static_cast<size_t>(n + n * m + 3), 0.0);
    double R[3][3], L;
    MemberAxes(e, R, L);
    double K[12][12];
    FrameStiffness(L, K);
    for (int end = 0; end < 2; ++end)
        for (int j = 0; j < 6; ++j)
            a[static_cast<size_t>(6 * end + j)] = eq[end][j];
    // (K T)[c][d]: T is R on each 3 x 3 block.
    for (int c = 0; c < 12; ++c)
        for (int d = 0; d < 12; ++d) {
            double s = 0.0;
            const int blk = d / 3, col = d % 3;
            for (int i = 0; i < 3; ++i)
                s += K[c][3 * blk + i] * R[i][col];
            a[static_cast<size_t>(n + c + d * m)] = s;
        }
    const double sec[7] = {1.0 / kBeamA,          1.0 / kBeamAs,          1.0 / kBeamAs,
                           kBeamHalfDepth / kBeamIz, -kBeamHalfDepth / kBeamIz, kBeamHalfWidth / kBeamIy,
                           -kBeamHalfWidth / kBeamIy};
    for (int j = 0; j < 7; ++j) {
        a[static_cast<size_t>(24 + j)] = sec[j];       // c0..c6 of end I
        a[static_cast<size_t>(102 + 7 + j)] = sec[j];  // d7..d13 of end J
    }
    a[324] = n;
    a[325] = m;
    return a;
}

bool ReadElement(CDBDoc& doc, unsigned int nK, Element& e)
{
    T_ELEM_D r;
    if (!CClassElem(doc.GetModelDB()).Get(nK, r) || r.aNodeK.GetSize() != 2)
        return false;
    CClassNode nodes(doc.GetModelDB());
    double shift[3];
    SampleShiftOf(doc, shift);
    e.nK = nK;
    for (int i = 0; i < 2; ++i) {
        T_NODE_D p;
        if (!nodes.Get(r.aNodeK[i], p))
            return false;
        e.nNodeK[i] = r.aNodeK[i];
        // The sample's own coordinates: the shaking is the same wherever the model stands.
        for (int c = 0; c < 3; ++c)
            e.xyz[i][c] = p.dXyz[c] - shift[c];
    }
    return true;
}

bool Fail(std::string* pError, const char* psz)
{
    if (pError)
        *pError = psz;
    return false;
}

} // namespace

void QuakeModalCoordinate(int k, double t, double& q, double& v, double& a)
{
    const double w = 2.0 * kPi * kFreq[k];
    q = kAmp[k] * std::sin(w * t);
    v = kAmp[k] * w * std::cos(w * t);
    a = -kAmp[k] * w * w * std::sin(w * t);
}

void QuakeGroundMotion(double t, double& d, double& v, double& a)
{
    const double w = 2.0 * kPi * 0.8, A = 0.05;
    d = A * std::sin(w * t);
    v = A * w * std::cos(w * t);
    a = -A * w * w * std::sin(w * t);
}

BOOL BuildSampleDynamics(CDBDoc& doc, const DynamicsOptions& opt, DynamicsSummary& summary, std::string* pError)
{
    if (opt.nModes < 1 || opt.nModes > 8 || opt.nSteps < 1 || !(opt.dDt > 0.0))
        return Fail(pError, "modes must be 1 to 8, steps and time step positive");
    CClassThis cases(doc.GetModelDB());
    if (cases.Exist(kThisQuakeModal) || cases.Exist(kThisQuakeDirect))
        return Fail(pError, "the dynamic cases exist already");

    // The struts, in key order: the first of each kind is the one at the wall.
    CClassElem elems(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    elems.GetKeyList(keys);
    std::vector<Element> truss, beam;
    for (int i = 0; i < keys.GetSize(); ++i) {
        int nType = elems.GetElemType(keys[i]);
        if (nType != kElemTruss && nType != kElemBeam)
            continue;
        Element e;
        if (!ReadElement(doc, keys[i], e))
            return Fail(pError, "a strut element has not two nodes with coordinates");
        (nType == kElemTruss ? truss : beam).push_back(e);
    }
    if (truss.empty() || beam.empty())
        return Fail(pError, "the model has no truss or beam struts");

    // Equations: six per strut node, numbered in node-key order; at the centre line (x = 0)
    // symmetry holds u, theta-y and theta-z.
    std::map<unsigned int, const double*> nodeXyz;
    for (const auto* list : {&truss, &beam})
        for (const Element& e : *list)
            for (int i = 0; i < 2; ++i)
                nodeXyz[e.nNodeK[i]] = e.xyz[i];
    std::map<unsigned int, _NDSP_BN> nodeRec;
    int nEq = 0;
    for (const auto& [k, p] : nodeXyz) {
        _NDSP_BN r;
        const bool bCentre = std::fabs(p[0]) < 1e-9;
        for (int j = 0; j < 6; ++j)
            r.dEqn[j] = bCentre && (j == 0 || j == 4 || j == 5) ? 0.0 : ++nEq;
        nodeRec[k] = r;
    }

    std::vector<double> aTime(static_cast<size_t>(opt.nSteps));
    for (int s = 0; s < opt.nSteps; ++s)
        aTime[static_cast<size_t>(s)] = opt.dDt * (s + 1);

    auto fill = [&](CTHResultBuilder& b) {
        for (const auto& [k, r] : nodeRec) {
            b.SetNode(k, r);
            for (int j = 0; j < 6; ++j) {
                if (r.dEqn[j] == 0.0)
                    continue;
                std::vector<double> shape(static_cast<size_t>(opt.nModes));
                for (int m = 0; m < opt.nModes; ++m)
                    shape[static_cast<size_t>(m)] = ModeShape(m, nodeXyz[k], j);
                b.SetModeShape(static_cast<int>(r.dEqn[j]), shape);
            }
        }
        for (int m = 0; m < opt.nModes; ++m)
            for (int s = 0; s < opt.nSteps; ++s) {
                _MDSP_BN q;
                QuakeModalCoordinate(m, aTime[static_cast<size_t>(s)], q.dDisp, q.dVelo, q.dAccel);
                b.SetModal(m + 1, s + 1, q);
            }
        // The strut nodes' own records of the shaking, as the node-history reader answers
        // them: acceleration, velocity and displacement relative to the ground, summed over
        // the modes from the closed-form coordinates, in the nodes' (global) axes.
        for (const auto& [k, r] : nodeRec) {
            std::vector<T_PDISP_D> h[3];
            for (auto& v : h)
                v.resize(static_cast<size_t>(opt.nSteps));
            for (int s = 0; s < opt.nSteps; ++s)
                for (int j = 0; j < 6; ++j) {
                    if (r.dEqn[j] == 0.0)
                        continue;
                    double sum[3] = {0.0, 0.0, 0.0}; // acceleration, velocity, displacement
                    for (int m = 0; m < opt.nModes; ++m) {
                        double d = 0.0, v = 0.0, a = 0.0;
                        QuakeModalCoordinate(m, aTime[static_cast<size_t>(s)], d, v, a);
                        const double phi = ModeShape(m, nodeXyz[k], j);
                        sum[0] += phi * a;
                        sum[1] += phi * v;
                        sum[2] += phi * d;
                    }
                    for (int kind = 0; kind < 3; ++kind) {
                        T_PDISP_D& rec = h[kind][static_cast<size_t>(s)];
                        double* dof[6] = {&rec.dDx, &rec.dDy, &rec.dDz, &rec.dRx, &rec.dRy, &rec.dRz};
                        *dof[j] = sum[kind];
                    }
                }
            for (int kind = 0; kind < 3; ++kind)
                b.Data().nodeHistory[kind][k] = h[kind];
        }
        std::vector<_MDSP_BN> gx(static_cast<size_t>(opt.nSteps)), zero(static_cast<size_t>(opt.nSteps));
        for (int s = 0; s < opt.nSteps; ++s) {
            _MDSP_BN& g = gx[static_cast<size_t>(s)];
            QuakeGroundMotion(aTime[static_cast<size_t>(s)], g.dDisp, g.dVelo, g.dAccel);
        }
        b.SetGround(0, gx);
        b.SetGround(1, zero);
        b.SetGround(2, zero);
        auto eqOf = [&](const Element& e, int eq[2][6]) {
            for (int i = 0; i < 2; ++i)
                for (int j = 0; j < 6; ++j)
                    eq[i][j] = static_cast<int>(nodeRec[e.nNodeK[i]].dEqn[j]);
        };
        int eq[2][6];
        for (const Element& e : truss) {
            eqOf(e, eq);
            b.SetTruss(e.nK, TrussArray(e, eq));
        }
        for (const Element& e : beam) {
            eqOf(e, eq);
            b.SetBeam(e.nK, BeamArray(e, eq));
        }
    };
    CTHResultBuilder modal(doc, kAcasQuakeModal, kThisQuakeModal, 1, aTime, opt.nModes);
    fill(modal);
    CTHResultBuilder direct(doc, kAcasQuakeDirect, kThisQuakeDirect, 1, aTime, opt.nModes);
    fill(direct);
    direct.FillDirectFromModal();
    direct.SetMethod(2);

    summary.nTrussK = truss.front().nK;
    summary.nBeamK = beam.front().nK;
    summary.nNodeK = beam.front().nNodeK[0];
    // The first wall plate (in key order) at the beam strut's wall node.
    for (int i = 0; i < keys.GetSize() && summary.nPlateK == 0; ++i) {
        T_ELEM_D e;
        if (!elems.Get(keys[i], e) || e.nType != kElemPlate)
            continue;
        for (int j = 0; j < e.aNodeK.GetSize(); ++j)
            if (e.aNodeK[j] == summary.nNodeK)
                summary.nPlateK = keys[i];
    }
    // The first soil hexahedron (in key order) at that node: beside the wall.
    for (int i = 0; i < keys.GetSize() && summary.nSoilK == 0; ++i) {
        T_ELEM_D e;
        if (!elems.Get(keys[i], e) || e.nType != kElemSolid)
            continue;
        for (int j = 0; j < e.aNodeK.GetSize(); ++j)
            if (e.aNodeK[j] == summary.nNodeK)
                summary.nSoilK = keys[i];
    }
    summary.nEquations = nEq;
    summary.nModes = opt.nModes;
    summary.nSteps = opt.nSteps;
    StoreSampleHistoryFunctions(doc, summary);
    // The strut node's x displacement relative to the ground, summed over the modes.
    std::vector<double> nodeDX(static_cast<size_t>(opt.nSteps), 0.0);
    for (int st = 0; st < opt.nSteps; ++st)
        for (int m = 0; m < opt.nModes; ++m) {
            double q, v, a;
            QuakeModalCoordinate(m, aTime[static_cast<size_t>(st)], q, v, a);
            nodeDX[static_cast<size_t>(st)] += ModeShape(m, nodeXyz[summary.nNodeK], 0) * q;
        }
    StoreSampleHistoryPlotData(doc, opt, nodeDX);
    return TRUE;
}

} // namespace kvpvs::sample
