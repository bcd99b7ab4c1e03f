// What text/WordsInBytes.h promises of a markup file whose letters stand in its bytes, checked
// the slow way against the text a reader made of it.
#pragma once
#include <cstddef>
#include <string>

#include "text/WordsInBytes.h"

inline bool isAsciiWordChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Whether the markup at bytes[at], right after a letter, may join that letter to what follows.
inline bool cutJoins(const std::string& bytes, std::size_t at, const WordCuts& cuts)
{
    return at < bytes.size() && std::string(cuts.bytes, cuts.count).find(bytes[at]) != std::string::npos &&
           !cuts.parts(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), at);
}

// Whether word is among the bytes, or a start of it (a byte at least) comes right before a cut
// byte where the markup may join: as a search looks for it (WordFilter::mayBeInMarkup).
inline bool foundAcrossCuts(const std::string& word, const std::string& bytes, const WordCuts& cuts)
{
    if (bytes.find(word) != std::string::npos)
        return true;
    for (std::size_t at = bytes.find(word[0]); at != std::string::npos; at = bytes.find(word[0], at + 1)) {
        std::size_t k = 1;
        while (k < word.size() && at + k < bytes.size() && bytes[at + k] == word[k])
            ++k;
        if (cutJoins(bytes, at + k, cuts))
            return true;
    }
    return false;
}

// Whether every word of ASCII letters and digits in the text, and every part of one that a
// search that is not for whole words can find (up to longest letters), is found across cuts.
// A part found so is found whole or cut at the same place when shortened, so the longest part
// from each letter stands for all that start there.
inline bool asciiWordsFoundAcrossCuts(const std::u16string& text, const std::string& bytes, const WordCuts& cuts,
                                      std::size_t longest = 64)
{
    for (std::size_t start = 0; start < text.size(); ++start) {
        std::string part;
        for (std::size_t i = start; i < text.size() && isAsciiWordChar(text[i]) && part.size() < longest; ++i)
            part.push_back(static_cast<char>(text[i]));
        if (!part.empty() && !foundAcrossCuts(part, bytes, cuts))
            return false;
    }
    return true;
}

// What the tables of the readers check of each row, given whether its "words stand in its
// bytes": its letters stand and every cut after a letter of text parts (those after a control
// word of rich text, \par\b, are no text). Empty when the row holds; else what is wrong.
inline std::string wordsInBytesMismatch(TextKind kind, const std::string& bytes, const std::u16string& text,
                                        bool wordsInBytes)
{
    const WordCuts cuts = wordCutsOf(kind);
    bool letters = lettersStandInBytes(kind, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    bool everyCutParts = letters;
    for (std::size_t at = 1; at < bytes.size() && everyCutParts; ++at) {
        if (!isAsciiWordChar(static_cast<unsigned char>(bytes[at - 1])) || !cutJoins(bytes, at, cuts))
            continue;
        std::size_t start = at;
        while (start > 0 && (isAsciiWordChar(static_cast<unsigned char>(bytes[start - 1])) || bytes[start - 1] == '-'))
            --start;
        everyCutParts = start > 0 && bytes[start - 1] == '\\';
    }
    if (wordsInBytes != everyCutParts)
        return wordsInBytes ? "a word does not stand in the bytes" : "every word stands in the bytes";
    if (letters && !asciiWordsFoundAcrossCuts(text, bytes, cuts))
        return "a word of the text is found neither among the bytes nor across a cut";
    return "";
}
