// Where the tree walker hands each matching file. The program's result list implements
// it; tests hand the walker a recorder instead.
#pragma once

class ResultSink {
public:
    // path is the file as the list shows it; opened is the path the file was found and
    // opened by, which differs only in the letter case of its ending (the list shows every
    // ending in lower case, the folder may hold ".TXT"). Whatever opens the file again uses
    // opened: in a folder where names differ by case, path may name another file or none.
    // Called with texts the caller reuses afterwards: keep copies.
    virtual void add(const char* path, const char* opened) = 0;

protected:
    ~ResultSink() = default;
};
