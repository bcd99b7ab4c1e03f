// Lets the line matcher's rendering reach the match view without knowing about controls.
// Runs are gathered and shown together at finishView, which a render calls at the end of
// every slice, where the control shows a gathered batch exactly as it shows the same runs
// one by one.
#pragma once
#include "panel/RunBatch.h"
#include "search/ViewSink.h"

class MatchViewSink final : public ViewSink {
public:
    void clearView() override;
    void appendText(const char* text, unsigned long colour) override;
    void finishView() override;

private:
    void showBatch();

    RunBatch batch;
};

extern MatchViewSink matchViewSink;
