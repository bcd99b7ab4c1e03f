// The system's code pages, for the readers of text: the ANSI code page is the program's own.
#pragma once
#include "text/CodePage.h"

// The one instance; it holds only what it learns of the ANSI code page when it is made, so
// any thread may use it.
const CodePage& systemCodePage();
