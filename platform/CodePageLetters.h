// The word table of the system's ANSI code page: its letters and digits as the system
// classifies them, and its capitals folded as the system lowers them.
#pragma once
#include "match/WordTable.h"

// Asks the system about every byte from 0x80 up; ASCII keeps its own rules.
WordTable systemWordTable();
