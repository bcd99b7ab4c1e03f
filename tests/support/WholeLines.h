// Scanning lines given whole, as the tests' reference for what the matcher gets from a file.
// Header-only, so the native build takes it as well.
#pragma once
#include <string>

#include "match/LineScan.h"

// Scans line (its line feed included, if it has one) as one piece; with a view, a matching
// line is rendered with lineNumber. Returns the number of matching words.
inline int scanWholeLine(LineScan& scan, const std::string& line, long long lineNumber, ViewSink* view)
{
    scan.beginLine();
    scan.take(line.data(), line.size());
    int count = scan.endLine();
    if (view != nullptr && count > 0)
        scan.render(lineNumber, *view);
    return count;
}
