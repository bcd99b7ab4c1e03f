// The one sound the program makes: the default system beep that answers an action that
// cannot be carried out and marks the end of every search. Counted, so tests can see it.
// It lives with the dialogs so that they, the panel and the main window all reach it.
#pragma once

// MessageBeep(0), and one more on the count.
void signalBeep();

// How many beeps the program has made since it started.
int beepCount();
