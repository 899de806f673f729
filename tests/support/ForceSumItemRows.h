// Result rows under the item codes the force-sum dialog collects, for the plate-force
// situations of ForceSumFixtures: one row per item, keyed in the order given, values "element
// value, then one per node" from a field over node coordinates.
#pragma once
#include "ForceSumFixtures.h"

#include <vector>

namespace kvpvs::test {

// Plate forces and moments as the result files name them: NXX NYY NXY, MXX MYY MXY.
using PlateResultField = std::function<std::array<double, 6>(double x, double y, double z)>;

// The dialog's plate items: forces 85, 86, 87 and moments 91, 92, 93.
inline const std::vector<unsigned int>& PlateForceItems()
{
    static const std::vector<unsigned int> items = {85, 86, 87, 91, 92, 93};
    return items;
}

// Rows of class nClass in the model's step: row i carries component i of the field under
// aItem[i]. Returns the row keys in that order.
std::vector<unsigned int> AddItemRows(ForceSumModel& m, int nClass, const std::vector<unsigned int>& aItem,
                                      const PlateResultField& f);

} // namespace kvpvs::test
