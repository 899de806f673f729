#include "recovery/drivers/keyword_tables.h"

namespace kvpvs::recovery {
namespace {

// One string per table, 4 characters a slot, slot 1 first.
constexpr char ELEM_DATA_KEYS[] =
    "TRUSBEAMPSTRPLATWALLPSTAAXYMSOLDMDSPMSHPNLDFNLFCPSRNGRMTINDFNDFINDSPTHIFNLBMHGST"
    "HFSTINEFINEDSTILSTSHSTSMFBCHPOSFFSIBLSFHMDFLMSERMSESCORDELMTITTRITBMITEKITNKMATL"
    "PSTHPSRHPLTHPSOH    DMED";

constexpr char RESULT_DATA_KEYS[] =
    "REACDISPSTRTSTRBSTRMSTNPSTRWSTRNSTRSSTRLFREQMODESREASOLFSTAXSTPNSTMVLRACSTSHSTSI"
    "MPAFMPAMSPECMACCSTECHTIMHDSPHSTRHDSNHSTNMDSPCABFELNKSTCMRZMDSTCVSTSRMDDSCFMOCFML"
    "NLNKLNTLAEFMRSMMDMSEHGSMCSPRNDFMNFCMRCBLSTHMSTHRSTHXSTHPSTHSCOORCURLIFFNIFSLITSL"
    "BTSSFOLRFOLXFOLSFOHRFOHXFOHSRSLRRSLXRSLSRSHRRSHXRSHSSPCTSRCTCRSIBTPFTHLG        "
    "NMXYEFFS                                                                    FLAG";

static_assert(sizeof(ELEM_DATA_KEYS) == 4 * ELEM_DATA_KEY_COUNT + 1);
static_assert(sizeof(RESULT_DATA_KEYS) == 4 * RESULT_DATA_KEY_COUNT + 1);

constexpr ProductCode PRODUCT_CODES[PRODUCT_CODE_COUNT] = {
    {'X', '.', 'U', '.', 'H', ' ', ' ', ' '}, {'N', '.', 'Q', '.', 'D', ' ', ' ', ' '},
    {'F', '.', 'J', '.', 'B', ' ', ' ', ' '}, {'K', '.', 'V', '.', 'R', ' ', ' ', ' '},
    {'Z', '.', 'O', '.', 'R', ' ', ' ', ' '},
};

DataKey slot_of(const char* table, int count, int slot)
{
    if (slot < 1 || slot > count)
        return {' ', ' ', ' ', ' '};
    const char* p = table + 4 * (slot - 1);
    return {p[0], p[1], p[2], p[3]};
}

} // namespace

DataKey elem_data_key(int slot) { return slot_of(ELEM_DATA_KEYS, ELEM_DATA_KEY_COUNT, slot); }
DataKey result_data_key(int slot) { return slot_of(RESULT_DATA_KEYS, RESULT_DATA_KEY_COUNT, slot); }

const ProductCode* product_code(int selector)
{
    if (selector < 1 || selector > PRODUCT_CODE_COUNT)
        return nullptr;
    return &PRODUCT_CODES[selector - 1];
}

} // namespace kvpvs::recovery
