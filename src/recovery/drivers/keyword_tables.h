// The keys of the result files' data sets. Routines name a data set by its slot (from 1) in
// elem_data_keys (the '2' file and the direct file) or result_data_keys (the '1' file);
// a slot of four blanks holds no key. Also the product codes that choose file extensions.
#pragma once

#include <array>

namespace kvpvs::recovery {

using DataKey = std::array<char, 4>;

constexpr int ELEM_DATA_KEY_COUNT = 46;
constexpr int RESULT_DATA_KEY_COUNT = 100;
constexpr int PRODUCT_CODE_COUNT = 5;

// Slots of elem_data_keys used by the entry and the readers.
enum ElemDataKey : int {
    KEY_PSTR = 3, KEY_PLAT = 4, KEY_SOLD = 8, KEY_MDSP = 9, KEY_MSHP = 10, KEY_NDSP = 17,
    KEY_THIF = 18, KEY_MSER = 32, KEY_MSES = 33, KEY_CORD = 34, KEY_ELMT = 35, KEY_MATL = 40,
    KEY_PSTH = 41, KEY_PSRH = 42, KEY_PLTH = 43, KEY_PSOH = 44, KEY_DMED = 46,
};
// Slots of result_data_keys used by the entry.
enum ResultDataKey : int { KEY_THLG = 78 };

// Key of a slot, four blanks for a slot outside the table.
DataKey elem_data_key(int slot);
DataKey result_data_key(int slot);

// Product code of selector 1..5 ("K.V.R" for 4): 5 characters in an 8-character slot.
using ProductCode = std::array<char, 8>;
const ProductCode* product_code(int selector);

} // namespace kvpvs::recovery
