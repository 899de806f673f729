// Golden texts kept beside the tests that compare with them, in their folder's golden/ (each
// test program is built knowing its folder as KVPVS_TEST_DIR), and read whole at run time. A
// missing file reads as an empty text, which then fails the comparison.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace kvpvs::testing {

inline std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

#ifdef KVPVS_TEST_DIR
inline std::string GoldenText(const std::string& name) { return ReadTextFile(KVPVS_TEST_DIR "/golden/" + name); }
#endif

} // namespace kvpvs::testing
