// A batch of coloured runs put into a rich-text control as one rich-text stream, and the
// check that a control shows such a stream exactly as it shows the same runs put in one by
// one. Under Wine every insertion costs the control a layout pass and several round trips
// to the window system, whatever its length, so a file's lines go in as a few streams.
#pragma once
#include <windows.h>

#include "panel/RunBatch.h"

// Inserts batch at the end of control's selection as one stream, ending where appending its
// runs one by one would, and scrolls to it.
void streamBatch(HWND control, const RunBatch& batch);

// How the check puts runs in one by one: the way the view appends a run.
using AppendRun = void (*)(HWND control, const char* text, unsigned long colour);

// Whether a control like model (same class, parent and font) shows a streamed batch exactly
// as the same runs put in by appendRun: the same characters in the same colours, fonts and
// sizes, for everything a rendered line can hold. Tried on a hidden control made for it.
bool streamsExactly(HWND model, AppendRun appendRun);
