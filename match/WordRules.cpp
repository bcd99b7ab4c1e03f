#include "match/WordRules.h"

#include <cstring>

void foldInPlace(char* text)
{
    for (; *text != '\0'; ++text)
        *text = foldChar(*text);
}

const char* firstWord(const char* text)
{
    while (*text != '\0' && !isWordChar(static_cast<unsigned char>(*text)))
        ++text;
    return *text != '\0' ? text : nullptr;
}

const char* nextWord(const char* word)
{
    while (isWordChar(static_cast<unsigned char>(*word)))
        ++word;
    return firstWord(word);
}

int wordLength(const char* pos)
{
    int n = 0;
    while (isWordChar(static_cast<unsigned char>(pos[n])))
        ++n;
    return n;
}

bool wordMatches(const char* queryWord, const char* lineWord, bool wholeWordsOnly)
{
    int q = wordLength(queryWord);
    int l = wordLength(lineWord);
    if (q > l)
        return false;
    if (q == l)
        return std::memcmp(queryWord, lineWord, q) == 0;
    if (wholeWordsOnly)
        return false;
    for (int k = 0; k <= l - q; ++k) {
        if (std::memcmp(lineWord + k, queryWord, q) == 0)
            return true;
    }
    return false;
}

int countMatchingWords(const char* query, const char* lineWord, bool wholeWordsOnly)
{
    int count = 0;
    for (const char* word = firstWord(query); word != nullptr; word = nextWord(word)) {
        if (wordMatches(word, lineWord, wholeWordsOnly))
            ++count;
    }
    return count;
}

bool QueryWords::parse(const char* query)
{
    wordCount = 0;
    shortest = 0;
    for (const char* word = firstWord(query); word != nullptr; word = nextWord(word)) {
        int n = wordLength(word);
        if (wordCount == MAX_WORDS || static_cast<std::size_t>(n) > LONGEST_QUERY_WORD)
            return false;
        start[wordCount] = word;
        length[wordCount] = n;
        if (wordCount == 0 || n < shortest)
            shortest = n;
        ++wordCount;
    }
    return true;
}

bool QueryWords::anyMatches(const char* lineWord, int lineLength, bool wholeWordsOnly) const
{
    if (wordCount == 0 || lineLength < shortest)
        return false;
    for (int i = 0; i < wordCount; ++i) {
        int q = length[i];
        const char* word = start[i];
        if (q > lineLength)
            continue;
        if (q == lineLength) {
            if (word[0] == lineWord[0] && std::memcmp(word, lineWord, q) == 0)
                return true;
            continue;
        }
        if (wholeWordsOnly)
            continue;
        // Look for the query word's first byte, then compare the rest.
        const char* last = lineWord + (lineLength - q);
        for (const char* at = lineWord; at <= last; ++at) {
            at = static_cast<const char*>(std::memchr(at, word[0], last - at + 1));
            if (at == nullptr)
                break;
            if (std::memcmp(at + 1, word + 1, q - 1) == 0)
                return true;
        }
    }
    return false;
}
