// What text/WordsInBytes.h promises of a markup file whose letters stand in its bytes, checked
// the slow way against the text a reader made of it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/WordsInBytes.h"

inline bool isCutByte(const WordCuts& cuts, std::uint8_t c)
{
    return std::string(cuts.bytes, cuts.count).find(static_cast<char>(c)) != std::string::npos;
}

// Whether every cut byte right after an ASCII letter or digit is one where the markup parts,
// but for those after a control word of rich text (\par\b), whose letters are no text.
inline bool everyCutParts(const std::uint8_t* data, std::size_t size, const WordCuts& cuts)
{
    auto isAsciiWord = [](std::uint8_t c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    for (std::size_t at = 1; at < size; ++at) {
        if (!isCutByte(cuts, data[at]) || !isAsciiWord(data[at - 1]))
            continue;
        std::size_t start = at;
        while (start > 0 && (isAsciiWord(data[start - 1]) || data[start - 1] == '-'))
            --start;
        bool controlWord = start > 0 && data[start - 1] == '\\';
        if (!controlWord && !cuts.parts(data, size, at))
            return false;
    }
    return true;
}

// Whether word is among the bytes, or a start of it (a byte at least) comes right before a cut
// byte where the markup may join: as a search looks for it (WordFilter::occursAcross).
inline bool foundAcrossCuts(const std::string& word, const std::uint8_t* data, std::size_t size, const WordCuts& cuts)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.find(word) != std::string::npos)
        return true;
    for (std::size_t at = bytes.find(word[0]); at != std::string::npos; at = bytes.find(word[0], at + 1)) {
        std::size_t k = 1;
        while (k < word.size() && at + k < size && bytes[at + k] == word[k])
            ++k;
        if (at + k < size && isCutByte(cuts, data[at + k]) && !cuts.parts(data, size, at + k))
            return true;
    }
    return false;
}

// Whether every word of ASCII letters and digits in the text, and every part of one that a
// search that is not for whole words can find (up to longest letters), is found across cuts.
inline bool asciiWordsFoundAcrossCuts(const std::u16string& text, const std::uint8_t* data, std::size_t size,
                                      const WordCuts& cuts, std::size_t longest = 64)
{
    auto isAsciiWord = [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    // A part found across cuts is found whole or cut at the same place when shortened, so the
    // longest part from each letter stands for all that start there.
    for (std::size_t start = 0; start < text.size(); ++start) {
        std::string part;
        for (std::size_t i = start; i < text.size() && isAsciiWord(text[i]) && part.size() < longest; ++i)
            part.push_back(static_cast<char>(text[i]));
        if (!part.empty() && !foundAcrossCuts(part, data, size, cuts))
            return false;
    }
    return true;
}
