// Searches one directory level for files of the selected kinds, and, on request, every
// directory below it, depth first. Matching files go to the result sink as they are found.
#pragma once
#include "search/DirectoryCursor.h"
#include "search/LineMatcher.h"
#include "search/ResultSink.h"

class TreeWalker {
public:
    explicit TreeWalker(ResultSink& results);

    // Walks dir; returns as soon as searchActive is found cleared.
    void searchDirectory(const char* dir, const char* query, int recurse);

    // Scans dir\name and hands the path to the result sink when anything matched.
    void searchFile(const char* dir, const char* name, const char* query);

    DirectoryCursor cursor;
    LineMatcher matcher;

private:
    ResultSink& results;
};
