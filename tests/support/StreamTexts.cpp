#include "support/StreamTexts.h"

#include <random>

std::string joinedLineEnds(const std::string& text)
{
    std::string joined;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            joined += text[i];
    }
    return joined;
}

std::vector<std::string> referenceLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t feed = text.find('\n', at);
        std::size_t end = feed == std::string::npos ? text.size() : feed + 1;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

std::string longWord(std::size_t length)
{
    std::string word;
    for (std::size_t i = 0; i < length; ++i)
        word += static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return word;
}

std::string generatedText(unsigned seed, std::size_t size)
{
    static const char* const WORDS[] = {
        "cat",
        "Cat",
        "CAT",
        "concatenate",
        "scatter",
        "ab",
        "abc",
        "xabcx",
        "e",
        "zephyrquill",
        "ZephyrQuill",
        "xzephyrquillx",
        "marrowfat",
        "sextant",
        "Brindled",
        "topgallant",
        "a1",
        "x86",
        "9",
        "1999",
        "alpha",
        "Bravo",
        "charlie",
        "kilo",
        "lima",
        "sierra",
        "tango",
        "the",
        "of",
        "lantern",
        "sextants",
        "Topgallants",
        "caf\xe9",
        "CAF\xc9",
        "r\xe9sum\xe9",
        "\x8aKODA",
        "\x9akoda",
        "\x9f"
        "E",
        "stra\xdf"
        "e",
        "a\xd7"
        "b",
    };
    const std::size_t wordCount = sizeof WORDS / sizeof WORDS[0];
    std::mt19937 random(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::string text;
    while (text.size() < size) {
        std::size_t roll = pick(1000);
        if (roll < 450) {
            text += WORDS[pick(wordCount)];
        } else if (roll < 550) {
            for (std::size_t n = 1 + pick(20); n > 0; --n)
                text += "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"[pick(62)];
        } else if (roll < 800) {
            text += " ,.-_()/\t"[pick(9)];
        } else if (roll < 880) {
            text += pick(2) ? "\n" : "\r\n";
        } else if (roll < 900) {
            text += '\r';
        } else if (roll < 915) {
            text += '\0';
        } else if (roll < 935) {
            text += static_cast<char>(0x80 + pick(128));
        } else if (roll < 950) {
            // A word long enough for reads to cut it, with query words inside.
            std::string word = longWord(900 + pick(1300));
            for (int k = 0; k < 4; ++k)
                word.insert(pick(word.size()), pick(2) ? "cat" : "ZEPHYRQUILL");
            text += word;
        } else if (roll < 955) {
            text += longWord(700);
        } else if (roll < 960) {
            // Longer than a query word, than a word is held, or than a block.
            static const std::size_t LENGTHS[] = {1023, 1024, 2047, 2049, 5000, 9000};
            std::string word = longWord(LENGTHS[pick(6)]);
            word.insert(pick(word.size()), pick(2) ? "cat" : "CAT");
            text += word;
        } else if (roll < 980) {
            // A line just under, at or over the read limit, or several reads long.
            static const std::size_t LENGTHS[] = {1021, 1022, 1023, 1024, 1025, 2046, 3100, 8100};
            std::size_t length = LENGTHS[pick(8)];
            std::string line;
            while (line.size() < length)
                line += std::string(WORDS[pick(wordCount)]) + " ,"[pick(2)];
            line.resize(length);
            text += "\n" + line + "\n";
        } else {
            text += std::string(1 + pick(40), ' ');
        }
    }
    return text;
}

std::vector<std::string> textModeFiles()
{
    std::vector<std::string> files;
    files.push_back("cat\r\nCat dog\r\n\r\ncat\rcat\r\r\ncat\r");
    files.push_back("cat\r\ncat\x1a"
                    "cat cat cat\r\n");
    files.push_back("\x1a"
                    "cat");
    files.push_back("cat\r\x1a\ncat");
    for (std::size_t edge : {4096u, 65536u}) {
        for (std::size_t shift = 0; shift < 3; ++shift) {
            std::string content(edge - 1 - shift, 'a');
            content += "\r\ncat\r\r\n";
            files.push_back(content);
        }
    }
    std::string lines;
    for (int i = 0; i < 3000; ++i)
        lines += (i % 3 == 0 ? "the CAT sat on the mat\r\n" : i % 3 == 1 ? "no match\n" : "concatenate\r\r\n");
    lines += std::string(2100, 'z') + "cat\r\n";
    files.push_back(lines);
    files.push_back(generatedText(11, 30000));
    std::string crlf = generatedText(12, 30000);
    for (std::size_t i = 0; i < crlf.size(); ++i) {
        if (crlf[i] == '\x1a')
            crlf[i] = ' ';  // keep going to the end: a Ctrl+Z has its own files above
    }
    files.push_back(crlf);
    return files;
}
