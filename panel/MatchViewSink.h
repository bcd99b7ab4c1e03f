// Lets the line matcher render into the match view without knowing about controls.
#pragma once
#include "search/ViewSink.h"

class MatchViewSink final : public ViewSink {
public:
    void clearView() override;
    void appendText(const char* text, unsigned long colour) override;
};

extern MatchViewSink matchViewSink;
