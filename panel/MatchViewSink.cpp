#include "panel/MatchViewSink.h"

#include "panel/MatchView.h"

MatchViewSink matchViewSink;

void MatchViewSink::clearView()
{
    batch.clear();
    // From the clear to finishView the control neither draws nor keeps undo records, and
    // then draws everything that went in at once. The clear comes first: it may put a new
    // control in the old one's place.
    matchView.clearView();
    matchView.beginRender();
}

void MatchViewSink::appendText(const char* text, unsigned long colour)
{
    if (!matchView.showsBatchesExactly()) {
        matchView.appendText(text, colour);
        return;
    }
    if (batch.add(text, colour))
        return;
    showBatch();  // the batch is full: show it and start the next
    if (!batch.add(text, colour))
        matchView.appendText(text, colour);
}

void MatchViewSink::finishView()
{
    showBatch();
    matchView.endRender();
}

void MatchViewSink::showBatch()
{
    if (batch.empty())
        return;
    matchView.appendBatch(batch);
    batch.clear();
}
