#include "panel/MatchViewSink.h"

#include "panel/MatchView.h"

MatchViewSink matchViewSink;

void MatchViewSink::clearView()
{
    matchView.clearView();
}

void MatchViewSink::appendText(const char* text, unsigned long colour)
{
    matchView.appendText(text, colour);
}
