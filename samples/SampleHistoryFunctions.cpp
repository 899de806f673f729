// The sample's stored time-history functions: what a user of the host's function editor would
// have defined on the shaking cases.
#include "SampleDynamics.h"

#include "ThisInfo.h"

namespace kvpvs::sample {

std::vector<unsigned int> StoreSampleHistoryFunctions(CDBDoc& doc, const DynamicsSummary& summary)
{
    CClassThrd thrd(doc.GetModelDB());
    std::vector<unsigned int> keys;
    const struct {
        unsigned int nAcasK;
        const char* pszForm;
    } cases[] = {{kAcasQuakeModal, "modal"}, {kAcasQuakeDirect, "direct"}};
    for (const auto& c : cases) {
        // Stored form: calculation code, result kind and displacement type count from 0.
        T_THRD_D disp;
        disp.strName.Format("DX wall strut node (%s)", c.pszForm);
        disp.nCode = 0;          // nodal displacement, relative
        disp.nEntityK = summary.nNodeK;
        disp.nAcasK = c.nAcasK;
        keys.push_back(thrd.Add(disp));
        T_THRD_D force;
        force.strName.Format("N_I wall truss strut (%s)", c.pszForm);
        force.nCode = 1;         // truss force at end I
        force.nEntityK = summary.nTrussK;
        force.nAcasK = c.nAcasK;
        keys.push_back(thrd.Add(force));
        if (summary.nPlateK == 0)
            continue;
        T_THRD_D moment;
        moment.strName.Format("Mxx wall plate centre (%s)", c.pszForm);
        moment.nCode = 4;        // plate
        moment.nResultKind = 2;  // forces per unit length
        moment.nPosition = 0;    // the centre
        moment.nComponent = 3;   // Mxx
        moment.nEntityK = summary.nPlateK;
        moment.nAcasK = c.nAcasK;
        keys.push_back(thrd.Add(moment));
        T_THRD_D nodal;
        nodal.strName.Format("Fz wall plate node I (%s)", c.pszForm);
        nodal.nCode = 4;
        nodal.nResultKind = 0;   // nodal forces
        nodal.nPosition = 0;     // the first node
        nodal.nComponent = 2;    // Fz, normal to the wall
        nodal.nEntityK = summary.nPlateK;
        nodal.nAcasK = c.nAcasK;
        keys.push_back(thrd.Add(nodal));
    }
    return keys;
}

} // namespace kvpvs::sample
