// Stand-ins for the result list and the match view that record what the engine hands them.
#pragma once
#include <string>
#include <vector>

#include "search/ResultSink.h"
#include "match/ViewSink.h"

class RecordingResults : public ResultSink {
public:
    void add(const char* path, const char* openedAs) override
    {
        paths.push_back(path);
        opened.push_back(openedAs);
    }
    std::vector<std::string> paths;
    std::vector<std::string> opened;  // the path each file was opened by
};

struct TextRun {
    std::string text;
    unsigned long colour;
    bool operator==(const TextRun& other) const { return text == other.text && colour == other.colour; }
};

class RecordingView : public ViewSink {
public:
    void clearView() override
    {
        runs.clear();
        ++clears;
    }
    void appendText(const char* text, unsigned long colour) override { runs.push_back({text, colour}); }

    std::vector<TextRun> runs;
    int clears = 0;
};

#include <ostream>
inline void PrintTo(const TextRun& run, std::ostream* out)
{
    *out << "{\"" << run.text << "\", 0x" << std::hex << run.colour << std::dec << "}";
}

// Options and the shared flags back at their start-of-run values, for tests that change them.
void resetSharedState();
