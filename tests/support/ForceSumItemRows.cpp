#include "ForceSumItemRows.h"

namespace kvpvs::test {

std::vector<unsigned int> AddItemRows(ForceSumModel& m, int nClass, const std::vector<unsigned int>& aItem,
                                      const PlateResultField& f)
{
    CDBBase* pModel = m.doc.GetModelDB();
    CDBBase* pPost = m.doc.GetPostDB();
    CClassNode clsNode(pModel);
    CClassElem clsElem(pModel);
    CArray<unsigned int, unsigned int> aElemK;
    clsElem.GetKeyList(aElemK);
    std::vector<unsigned int> aRowK;
    for (size_t c = 0; c < aItem.size() && c < 6; ++c) {
        T_PVTIF_D row;
        row.nItem = aItem[c];
        row.nStepK = m.nStepK;
        row.nQuantity = 6;
        row.nResultClass = nClass;
        row.nCompCode = static_cast<unsigned int>(c);
        const unsigned int nRowK = CClassPVtif(pPost).Add(row);
        aRowK.push_back(nRowK);
        T_PVAL_D val;
        for (int e = 0; e < aElemK.GetSize(); ++e) {
            T_ELEM_D elem;
            clsElem.Get(aElemK[e], elem);
            const int n = elem.GetNumberOfNodes();
            std::vector<double> v(1, 0.0);
            double centre[3] = {0, 0, 0};
            for (int j = 0; j < n; ++j) {
                T_NODE_D node;
                clsNode.Get(elem.aNodeK[j], node);
                v.push_back(f(node.dXyz[0], node.dXyz[1], node.dXyz[2])[c]);
                for (int k = 0; k < 3; ++k)
                    centre[k] += node.dXyz[k] / n;
            }
            v[0] = f(centre[0], centre[1], centre[2])[c];
            val.Append(aElemK[e], v.data(), static_cast<int>(v.size()));
        }
        CClassPVal(pPost).Set(nRowK, val);
    }
    return aRowK;
}

} // namespace kvpvs::test
