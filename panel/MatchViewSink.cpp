#include "panel/MatchViewSink.h"

#include "panel/MatchView.h"

MatchViewSink matchViewSink;

void MatchViewSink::clearView()
{
    batch.clear();
    matchView.clearView();
}

void MatchViewSink::appendText(const char* text, unsigned long colour)
{
    if (!matchView.showsBatchesExactly()) {
        matchView.appendText(text, colour);
        return;
    }
    if (batch.add(text, colour))
        return;
    finishView();  // the batch is full: show it and start the next
    if (!batch.add(text, colour))
        matchView.appendText(text, colour);
}

void MatchViewSink::finishView()
{
    if (batch.empty())
        return;
    matchView.appendBatch(batch);
    batch.clear();
}
