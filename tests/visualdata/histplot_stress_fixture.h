// Two plane-strain quadrilaterals that share an edge, in a time-history case whose steps the
// recovery library's step entry answers with a recording stand-in: element id e has the value
// StressPlotModel::value[e] x step, or the library stops (unwinds) on e in
// StressPlotModel::stops. Shared by the stress history plot's value tests and its
// allocation-failure sweep.
#pragma once
#include "timehistory/ElementResultsEntry.h"

#include "DBDoc.h"
#include "THResultBuilder.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

namespace kvpvs::test {

class StressPlotModel {
public:
    static constexpr unsigned kAcas = 12;
    // Value of each element id at step 1, and the steps read.
    inline static std::map<int, double> value;
    inline static std::vector<int> steps;
    inline static std::set<int> stops;

    StressPlotModel()
    {
        CZORDocBase::SetCurDoc(&doc);
        CClassNode nodes(doc.GetModelDB());
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 3; ++i) {
                T_NODE_D n;
                n.dXyz[0] = i;
                n.dXyz[1] = j;
                nodeK.push_back(nodes.Add(n));
            }
        CClassElem elems(doc.GetModelDB());
        for (int e = 0; e < 2; ++e) {
            T_ELEM_D q;
            q.nCellType = 9;
            for (int i : {e, e + 1, e + 4, e + 3})
                q.aNodeK.Add(nodeK[static_cast<std::size_t>(i)]);
            elemK.push_back(elems.Add(q));
        }
        builder = std::make_unique<CTHResultBuilder>(doc, kAcas, 1, 1, std::vector<double>{0.1, 0.2, 0.3}, 1);
        builder->SetResultFile(2, "case.ka2");
        for (int e = 0; e < 2; ++e) {
            builder->SetElemSeqId(elemK[static_cast<std::size_t>(e)], e + 1, 101 + e);
            builder->Ctrl()->GetSeqIdInfo()->SetElemTypeCode(elemK[static_cast<std::size_t>(e)], 10 + e);
        }
        kvpvs::timehistory::CurrentElementResultsEntry().step = Step;
        steps.clear();
        stops.clear();
    }
    ~StressPlotModel()
    {
        stops.clear();
        kvpvs::timehistory::ResetElementResultsEntry();
        CZORDocBase::SetCurDoc(nullptr);
    }
    StressPlotModel(const StressPlotModel&) = delete;
    StressPlotModel& operator=(const StressPlotModel&) = delete;

    CDBDoc doc;
    std::vector<unsigned int> nodeK, elemK;
    std::unique_ptr<CTHResultBuilder> builder;

private:
    struct LibraryStop {};
    static void Step(const char*, int, int, int, int, int, int, int step_number, int, int, double* output, int,
                     int element_number)
    {
        steps.push_back(step_number);
        if (stops.count(element_number))
            throw LibraryStop{};
        *output = value[element_number] * step_number;
    }
};

} // namespace kvpvs::test
