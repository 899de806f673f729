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
    }
    return keys;
}

} // namespace kvpvs::sample
