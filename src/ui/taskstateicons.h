#pragma once

#include <QIcon>

// The four 16 x 16 pictures of the download list's rows, drawn by the
// program: waiting (a grey clock), downloading (a blue arrow), completed (a
// green tick), failed (a red cross). The number is the task state (1 to 4).
QIcon TaskStateIcon(int state);
