// Stand-in for the host's output window, where commands and dialogs write notes for the user.
// Choice: nothing is shown; every line is kept in order for the host and tests to read.
#pragma once

// Writes one line to the output window.
void GMsgOut(const char* pszText);

// Host side: the lines written so far, oldest first.
int GMsgOutCount();
const char* GMsgOutAt(int i);
void GMsgOutClear();
