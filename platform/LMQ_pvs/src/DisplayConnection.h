// The X connection every offscreen window of this process draws through. VTK, left to open its
// own, ends the process when the server refuses it; a server busy with many clients refuses for a
// moment, and a machine without one refuses always. A window that cannot have a connection is not
// drawn, and its caller reports the picture as not written.
#pragma once

class vtkRenderWindow;

namespace lmq {

// Hands the shared connection to the window; false, and the window untouched, when there is none.
bool AttachDisplay(vtkRenderWindow* pWindow);

} // namespace lmq
