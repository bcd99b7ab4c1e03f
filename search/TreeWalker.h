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

    // Scans dir\name and hands the path to the result sink when anything matched, listed
    // with the last four characters of name in lower case.
    void searchFile(const char* dir, const char* name, const char* query);

    DirectoryCursor cursor;
    LineMatcher matcher;

private:
    // A level below parent. Only one level scans at a time, so every level of a walk reads
    // through the top level's block: a descent allocates a small walker, not another 64 KB.
    // identity is the folder's when the parent had to ask for it, unknown otherwise.
    // belowLink tells that the walk has gone through a link to reach this level.
    TreeWalker(ResultSink& results, TreeWalker& parent, const FolderIdentity& identity, bool belowLink);

    // Whether folder is this level's or one of the levels' above it: a link that leads back
    // there would search the same folders again and again, until the paths grew too long.
    // The levels' own identities are asked for the first time a link needs them.
    bool isOnPath(const FolderIdentity& folder);

    ResultSink& results;
    TreeWalker* parent = nullptr;
    FolderIdentity identity;
    bool identityAsked = false;
    bool belowLink = false;
};
