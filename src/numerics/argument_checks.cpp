// Argument checks of the numerical library: a bad integer or real argument becomes a
// TERMINAL error naming it, posted at the caller's level (no push). Each check advances the
// caller's error code whether or not it posted, so every test of an argument list has its
// own code.
#include "numerics/numerics.h"

#include <cstdint>
#include <string_view>

namespace kvpvs::numerics {
namespace {

std::string_view text(const char* p, int n) { return n > 0 ? std::string_view(p, static_cast<std::size_t>(n)) : std::string_view(); }

// CKRANG's one-sided form, whatever LOWER is.
void check_lower(int value, std::string_view name, int lower, int& code)
{
    if (value < lower) {
        ERSETI(1, value);
        ERSETI(2, lower);
        ERSETL(1, name);
        ERMES(5, code, "%(L1) = %(I1).  %(L1) must be greater than or equal to %(I2).");
    }
    ++code;
}

void check_le(std::int64_t value, std::string_view name, std::int64_t other, std::string_view oname, int& code)
{
    if (other < value) {
        ERSETI(1, value);
        ERSETI(2, other);
        ERSETL(1, name);
        ERSETL(2, oname);
        ERMES(5, code, "%(L1) = %(I1) and %(L2) = %(I2).  %(L1) must be less than or equal to %(L2).");
    }
    ++code;
}

}  // namespace

void CKRANG(const int& VALUE, const char* NAME, const int& NAMELEN, const int& LOWER,
            const int& UPPER, int& CODE)
{
    if (UPPER < LOWER) {
        check_lower(VALUE, text(NAME, NAMELEN), LOWER, CODE);
        return;
    }
    if (VALUE < LOWER || VALUE > UPPER) {
        ERSETI(1, VALUE);
        ERSETI(2, LOWER);
        ERSETI(3, UPPER);
        ERSETL(1, text(NAME, NAMELEN));
        ERMES(5, CODE, "%(L1) = %(I1).  %(L1) must be greater than or equal to %(I2) and less than or equal to %(I3).");
    }
    ++CODE;
}

void CKLE(const int& VALUE, const char* NAME, const int& NAMELEN, const int& OTHER,
          const char* ONAME, const int& ONAMELEN, int& CODE)
{
    check_le(VALUE, text(NAME, NAMELEN), OTHER, text(ONAME, ONAMELEN), CODE);
}

void CKLE(const int& VALUE, const char* NAME, const int& NAMELEN, const std::int64_t& OTHER,
          const char* ONAME, const int& ONAMELEN, int& CODE)
{
    check_le(VALUE, text(NAME, NAMELEN), OTHER, text(ONAME, ONAMELEN), CODE);
}

void CKCOL(const int& LOWER, const int& VALUE, const char* NAME, const int& NAMELEN,
           const int& NCOL, const char* NCNAME, const int& NCNAMELEN, int& CODE)
{
    check_lower(VALUE, text(NAME, NAMELEN), LOWER, CODE);
    if (NCOL < 1)
        ++CODE;
    else
        check_le(VALUE, text(NAME, NAMELEN), NCOL, text(NCNAME, NCNAMELEN), CODE);
}

void CKDIM(const int& LOWER, const int& VALUE, const char* NAME, const int& NAMELEN, const int& LD,
           const char* LDNAME, const int& LDNAMELEN, int& CODE)
{
    std::string_view name = text(NAME, NAMELEN);
    if (!name.empty() && name[0] == '*') {
        name.remove_prefix(1);  // no lower bound on VALUE; printed without the star
        ++CODE;
    } else {
        check_lower(VALUE, name, LOWER, CODE);
    }
    check_lower(LD, text(LDNAME, LDNAMELEN), 1, CODE);
    if (LD < 1)
        ++CODE;
    else
        check_le(VALUE, name, LD, text(LDNAME, LDNAMELEN), CODE);
}

void CKDNN(const double& VALUE, const char* NAME, const int& NAMELEN, int& CODE)
{
    // Written as "not >= 0" so that a NaN is refused too.
    if (!(VALUE >= 0.0)) {
        ERSETD(1, VALUE);
        ERSETL(1, text(NAME, NAMELEN));
        ERMES(5, CODE, "%(L1) = %(D1).  %(L1) must be greater than or equal to zero.");
    }
    ++CODE;
}

}  // namespace kvpvs::numerics
