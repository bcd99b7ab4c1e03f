// Small owners of something taken or changed for a while: each is non-copyable, never fails
// to construct, and gives back what it holds (closes it, or puts the old value back) in its
// destructor, so no early return can forget the undo. One class per kind of thing held;
// handles of a directory enumeration have their own owner in search/FindHandle.h.
#pragma once
#include <cstdio>

// Owns one C stream, empty at null. Closing is explicit as well, so that a failed close can
// be reported; the destructor closes whatever is still open.
class FileStream {
public:
    FileStream() = default;
    ~FileStream() { close(); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Closes any held stream first. Returns whether path opened.
    bool open(const char* path, const char* mode)
    {
        close();
        file = std::fopen(path, mode);
        return file != nullptr;
    }
    // Returns true when the stream closed cleanly (or none was open).
    bool close()
    {
        if (file == nullptr)
            return true;
        int result = std::fclose(file);
        file = nullptr;
        return result == 0;
    }
    std::FILE* get() const { return file; }

private:
    std::FILE* file = nullptr;
};
