#include "support/Recorders.h"

#include "search/SearchState.h"

void resetSharedState()
{
    searchOptions.caseSensitive = 0;
    searchOptions.wholeWordsOnly = 0;
    searchOptions.searchSubdirectories = 1;
    fileTypeSet.htm = 1;
    fileTypeSet.txt = 1;
    fileTypeSet.rtf = 0;
    fileTypeSet.doc = 0;
    searchActive = 0;
}
