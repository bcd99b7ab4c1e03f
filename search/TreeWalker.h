// Searches one directory level for files of the selected kinds, and, on request, every
// directory below it, depth first. Matching files go to the result sink as they are found.
#pragma once
#include "search/DirectoryCursor.h"
#include "search/FolderIdentity.h"
#include "search/LineMatcher.h"
#include "search/ResultSink.h"

class TreeWalker {
public:
    // A walker for the top of a walk; the levels below read their files through its block.
    explicit TreeWalker(ResultSink& results);

    // Walks dir; returns as soon as searchActive is found cleared.
    void searchDirectory(const char* dir, const char* query, int recurse);

    // Scans dir\name and hands the path to the result sink when anything matched.
    void searchFile(const char* dir, const char* name, const char* query);

    DirectoryCursor cursor;
    LineMatcher matcher;

private:
    // A level below parent. Only one level scans at a time, so every level of a walk reads
    // through the top level's block: a descent allocates a small walker, not another 64 KB.
    TreeWalker(ResultSink& results, TreeWalker& parent, const FolderIdentity& identity);

    // Whether the folder is this level's or one of the levels' above it: a link that leads
    // back there would repeat the same folders until the paths grew too long.
    bool isOnPath(const FolderIdentity& folder) const;

    ResultSink& results;
    const TreeWalker* parent = nullptr;
    FolderIdentity identity;  // of this level's folder, as its parent found it
};
