// Whether a model element can become a VTK cell: its cell type is one VTK knows (not cut to a
// byte) and its node count is the count that type has. The displays build cells only from
// elements that pass; any other element is left out, like an element without values, since
// VTK would read past its node list.
#pragma once

bool ElementCellFits(int nCellType, int nNodeCount);
