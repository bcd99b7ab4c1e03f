#include "search/SearchState.h"

FileTypeSet fileTypeSet;
char queryText[QUERY_CAPACITY];
std::atomic<int> searchActive{0};

int toggleFlag(std::atomic<int>& flag)
{
    int next = flag.load() == 0 ? 1 : 0;
    flag.store(next);
    return next;
}
