#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {

SharedBlocks& shared_blocks()
{
    static SharedBlocks blocks;
    return blocks;
}

ElementLibrary& history_library()
{
    static ElementLibrary library(Build::history, shared_blocks());
    return library;
}

ElementLibrary& step_library()
{
    static ElementLibrary library(Build::single_step, shared_blocks());
    return library;
}

}  // namespace kvpvs::recovery
