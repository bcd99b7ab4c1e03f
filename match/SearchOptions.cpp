#include "match/SearchOptions.h"

SearchOptions searchOptions;
