// Where the tree walker hands each matching file. The program's result list implements
// it; tests hand the walker a recorder instead.
#pragma once

class ResultSink {
public:
    // Called with a path that the caller reuses afterwards: keep a copy.
    virtual void add(const char* path) = 0;

protected:
    ~ResultSink() = default;
};
