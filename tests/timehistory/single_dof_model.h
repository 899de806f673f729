// A single-degree-of-freedom modal model with a closed-form response, q(t) = sin wt, so that
// displacement, velocity and acceleration are known at every step: nodes 1 and 2 on equations
// 1 and 2, a truss and a beam on equation 1, ground motion along X, stored once for modal
// superposition (case 11) and once in its directly integrated form (case 12), and a case of
// another analysis type (13). The text reports of the node, truss and beam functions are
// written over one window of that model.
#pragma once
#include "timehistory/CPVSTHEngine.h"
#include "timehistory/ElementResultsEntry.h"

#include "PostResultRecords.h"
#include "THResultBuilder.h"
#include "MsgDll.h"
#include "UnitCtrl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace thtest {

constexpr double kW = 6.0;            // rad/s
constexpr double kDt = 0.01;
constexpr int kSteps = 200;
constexpr double kPhi1 = 2.0, kPhi2 = 0.5; // mode shape at node 1 (eq 1) and node 2 (eq 2)
constexpr double kLen = 1000.0, kVel = 100.0, kAcc = 10.0, kForce = 3.0, kStress = 7.0; // unit factors
constexpr unsigned kModalCase = 11, kDirectCase = 12, kStaticCase = 13;
constexpr unsigned kTruss = 50, kBeam = 60;

inline double T(int i) { return kDt * (i + 1); }
inline const char* CaseName(unsigned acas) { return acas == kModalCase ? "Modal" : "Direct"; }

inline std::vector<double> TrussArray()
{
    std::vector<double> a(63, 0.0);
    const int n = 12, m = 4;
    a[0] = 1;           // dof 0 -> equation 1
    a[1] = -3;          // an unnumbered dof: must add nothing
    a[n + 0 + 0 * m] = 3.0; // column 0 (end I) of dof 0
    a[n + 1 + 0 * m] = 4.0; // column 1 (end J)
    a[n + 2] = 0.5;         // stress factor I
    a[n + 3] = 0.25;        // stress factor J
    a[n + 0 + 1 * m] = 100.0; // coefficient of the unnumbered dof
    a[60] = n;
    a[61] = m;
    return a;
}

inline std::vector<double> BeamArray()
{
    std::vector<double> a(327, 0.0);
    const int n = 12, m = 26;
    a[0] = 1;
    for (int c = 0; c < 12; ++c)
        a[n + c + 0 * m] = 1.0 + c; // column c of dof 0
    for (int j = 0; j < 14; ++j) {
        a[24 + j] = 0.1 * (j + 1);  // c_j (overlaps column coefficients of dof 0 from 12 on)
        a[102 + j] = 0.2 * (j + 1); // d_j
    }
    a[324] = n;
    a[325] = m;
    return a;
}

class SingleDofModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        CZORDocBase::SetCurDoc(&doc);
        std::vector<double> times;
        for (int i = 0; i < kSteps; ++i)
            times.push_back(T(i));
        Build(kModalCase, 1, 1, times);
        Build(kDirectCase, 2, 2, times);
        CTHResultBuilder stat(doc, kStaticCase, 3, 1, times, 1);
        stat.SetAnalysisType(1);
        CUnitCtrl* u = CDocCtrl::GetUnitCtrl(&doc);
        u->SetFactor(1, kLen);
        u->SetFactor(22, kVel);
        u->SetFactor(21, kAcc);
        u->SetFactor(2, kForce);
        u->SetFactor(17, kStress);
    }
    void TearDown() override
    {
        kvpvs::timehistory::ResetElementResultsEntry();
        T_PCFMO_D none;
        T_PCFMO_D::SetDefault(none);
        CZORDocBase::SetCurDoc(nullptr);
    }
    void Build(unsigned acas, unsigned thisK, int method, const std::vector<double>& times)
    {
        CTHResultBuilder b(doc, acas, thisK, 1, times, 1); // modal data first, then its direct form
        b.SetModeShape(1, {kPhi1});
        b.SetModeShape(2, {kPhi2});
        _NDSP_BN n1, n2;
        n1.dEqn[0] = 1;
        n2.dEqn[0] = 2;
        b.SetNode(1, n1);
        b.SetNode(2, n2);
        std::vector<_MDSP_BN> gx(kSteps);
        for (int i = 0; i < kSteps; ++i) {
            b.SetModal(1, i + 1, _MDSP_BN{std::sin(kW * T(i)), kW * std::cos(kW * T(i)), -kW * kW * std::sin(kW * T(i))});
            gx[i] = _MDSP_BN{0.1 * T(i), 0.1, 0.0};
        }
        b.SetGround(0, gx);
        b.SetGround(1, std::vector<_MDSP_BN>(kSteps));
        b.SetGround(2, std::vector<_MDSP_BN>(kSteps));
        b.SetTruss(kTruss, TrussArray());
        b.SetBeam(kBeam, BeamArray());
        b.SetElemSeqId(70, 7, 700);
        b.SetResultFile(2, "/data/run/case.th.xa2");
        if (method == 2) {
            b.FillDirectFromModal();
            b.SetMethod(2);
        }
        ctrl[method - 1] = b.Ctrl();
    }
    std::vector<double> Run(const T_THRD_D& stored)
    {
        CArray<double, double>* p = engine.Run(&stored);
        return std::vector<double>(p->begin(), p->end());
    }
    static T_THRD_D Disp(unsigned acas, int kind, int comp, int dispType, unsigned node = 1, unsigned second = 0)
    {
        T_THRD_D s;
        s.nCode = 0;
        s.nAcasK = acas;
        s.nEntityK = node;
        s.nResultKind = kind;
        s.nComponent = comp;
        s.nDispType = dispType;
        s.nSecondNodeK = second;
        return s;
    }
    // The modal case's result query opened, as the engine opens it around a run of a function;
    // EndQueryResult closes it.
    CPostCtrlGeoTech* BeginModalQuery()
    {
        CPostCtrlGeoTech* post = CTHResultBuilder::PostCtrl(doc);
        T_LCOM_D comb;
        post->MakeLoadComb(4, kModalCase, comb);
        post->BeginQueryResult(comb, 1, 0);
        return post;
    }
    // The text of a report that the engine writes for a calculation-function code.
    std::string Write(int nCode, T_THREPORT_D& rep)
    {
        FILE* fp = std::tmpfile();
        rep.pFile = fp;
        engine.WriteReport(nCode, rep);
        std::string text;
        std::rewind(fp);
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0)
            text.append(buf, n);
        std::fclose(fp);
        return text;
    }
    CDBDoc doc;
    CPVSTHEngine engine;
    CPostCtrlAnlTypeTHIS* ctrl[2] = {};
};

// Window of the reports: t from 0.045 to 0.295 -> steps 4 (t 0.05) up to, not including, 29;
// every second step.
constexpr double kRepStart = 0.045, kRepEnd = 0.295;
constexpr int kRepStride = 2;

// The host's texts of the report messages (the name is returned for an unregistered one), and
// a second truss with its column coefficients times -2 and a second beam with its force
// columns times -0.5, so that the summaries name different elements for maxima and minima.
class TextReport : public SingleDofModel {
protected:
    static constexpr unsigned kTruss2 = 49, kBeam2 = 61;
    void SetUp() override
    {
        SingleDofModel::SetUp();
        CMsgDll::SetText("IDS_QB_PVS_Displacement", "Displacement");
        CMsgDll::SetText("IDS_QB_PVS_Force", "Force");
        CMsgDll::SetText("IDS_QB_PVS_Stress", "Stress");
        CMsgDll::SetText("IDS_QB_PVS__n_NODE____5d___10s_History_______UNIT_S",
                         "\n NODE = %5d  %10s History       UNIT SYSTEM ..: %s, %s\n");
        CMsgDll::SetText("IDS_QB_PVS_MaxMin_of_Selected_Nodes", " Maximum/Minimum of Selected Nodes\n");
        CMsgDll::SetText("IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Trussses",
                         " Maximum/Minimum %s of Selected Trusses\n");
        CMsgDll::SetText("IDS_QB_PVS__n_ELEM____5d_BEAM__8s_History__Local___",
                         "\n ELEM = %5d BEAM %8s History (Local)\n");
        CMsgDll::SetText("IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Beams___",
                         " Maximum/Minimum %s of Selected Beams\n");
        std::vector<double> t = TrussArray();
        t[12 + 0] *= -2.0;
        t[12 + 1] *= -2.0;
        std::vector<double> b = BeamArray();
        for (int c = 0; c < 12; ++c)
            b[static_cast<size_t>(12 + c)] *= -0.5;
        for (CPostCtrlAnlTypeTHIS* p : ctrl) {
            p->Data().truss[kTruss2] = t;
            p->Data().beam[kBeam2] = b;
        }
    }
    // The report of a code's function over the window, in a case, report kind and stride, of
    // the keys (in any order); the report's query is closed after it.
    std::string Report(int nCode, unsigned acas, int nKind, int nStride, std::initializer_list<unsigned> keys)
    {
        T_THREPORT_D rep;
        rep.nThisK = acas == kModalCase ? 1 : 2;
        rep.nKind = nKind;
        rep.nStride = nStride;
        rep.dStart = kRepStart;
        rep.dEnd = kRepEnd;
        for (unsigned k : keys)
            rep.aKeys.Add(k);
        std::string text = Write(nCode, rep);
        EXPECT_EQ(CTHResultBuilder::PostCtrl(doc)->GetQueryDepth(), 0);
        return text;
    }
};

} // namespace thtest
