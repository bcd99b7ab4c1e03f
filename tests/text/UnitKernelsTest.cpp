// The vector loops of decoded text, at the ends of their vectors: each result is compared
// with what one unit at a time gives, or with where the byte was put.
#include <gtest/gtest.h>

#include <string>

#include "text/ProcessorFeatures.h"
#include "text/UnitKernels.h"
#include "text/Utf8.h"

namespace {

std::string littleEndian(const std::u16string& units)
{
    std::string bytes;
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(UnitKernels, AsciiIsNarrowedWithItsLineEndsJoinedUpToTheFirstUnitBeyond)
{
    const std::u16string sixteen = u"0123456789abcdef";
    const struct {
        const char* what;
        std::u16string units;
        std::string text;      // of the ASCII units before the first that is not
        std::size_t notAscii;  // where that one is, or the length
    } cases[] = {
        {"a CR LF inside a vector", sixteen + u"ab\r\ncd" + sixteen, "0123456789abcdefab\ncd0123456789abcdef", 38},
        {"a CR LF across two vectors", u"0123456789abcde\r\n" + sixteen + sixteen,
         "0123456789abcde\n0123456789abcdef0123456789abcdef", 49},
        {"CR LF after CR LF", sixteen + u"\r\n\r\n\r\r\n" + sixteen, "0123456789abcdef\n\n\r\n0123456789abcdef", 39},
        {"a CR at the end is kept", sixteen + sixteen + u"x\r", "0123456789abcdef0123456789abcdefx\r", 34},
        {"a lone CR", sixteen + u"a\rb" + sixteen, "0123456789abcdefa\rb0123456789abcdef", 35},
        {"a unit whose low byte is a LF after a CR", u"a\r\u010Ab", "a\r", 2},
        {"the same across two vectors", u"0123456789abcde\r\u010A" + sixteen + sixteen, "0123456789abcde\r", 16},
        {"a unit beyond ASCII", sixteen + sixteen + u"\u00e9" + sixteen, "0123456789abcdef0123456789abcdef", 32},
        {"a unit from U+8000 up", sixteen + sixteen + u"\uAC00" + sixteen, "0123456789abcdef0123456789abcdef", 32},
        {"a unit beyond ASCII in the second half of a vector", sixteen + sixteen + u"\r\n3456789a\u0100" + sixteen,
         "0123456789abcdef0123456789abcdef\n3456789a", 42},
        {"the same in a wide vector", sixteen + sixteen + sixteen + u"\r\n3456789\u0100" + sixteen,
         "0123456789abcdef0123456789abcdef0123456789abcdef\n3456789", 57},
        {"short", u"a\r\nb", "a\nb", 4},
    };
    for (const auto& c : cases) {
        const std::string bytes = littleEndian(c.units);
        // A count narrows the same units as they are, carriage returns and all, with vectors
        // of every width the processor may use.
        for (ScanFeatures features : {ScanFeatures::SSE2, ScanFeatures::AVX2}) {
            limitScanFeatures(features);
            std::string plain(c.units.size(), '\0');
            std::size_t narrowed = narrowLittleEndianAscii(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                           c.units.size(), &plain[0]);
            EXPECT_EQ(c.notAscii, narrowed) << c.what;
            EXPECT_EQ(std::string(c.units.begin(), c.units.begin() + c.notAscii), plain.substr(0, narrowed)) << c.what;
        }
        std::string out(c.units.size(), '\0');
        std::size_t taken = 0;
        std::size_t written =
            narrowAsciiJoining(reinterpret_cast<const unsigned char*>(bytes.data()), c.units.size(), &out[0], &taken);
        // A vector holding the first unit beyond ASCII is left whole to the caller.
        EXPECT_LE(taken, c.notAscii) << c.what;
        EXPECT_GE(taken + 16, c.notAscii) << c.what;
        EXPECT_EQ(c.text.substr(0, written), out.substr(0, written)) << c.what;
        EXPECT_EQ(c.notAscii == c.units.size() ? c.text.size() : written, written) << c.what;
        EXPECT_EQ(littleEndianAreAscii(reinterpret_cast<const unsigned char*>(bytes.data()), c.units.size()),
                  c.notAscii == c.units.size())
            << c.what;
    }
}

TEST(UnitKernels, LineEndsAreJoinedInPlace)
{
    const struct {
        std::string text;
        std::string joined;
    } cases[] = {
        {"a\r\nb\r\r\nc\r", "a\nb\r\nc\r"},
        {"no carriage return", "no carriage return"},
        {"\r\n\r\n", "\n\n"},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        text.resize(joinLineEnds(&text[0], text.size()));
        EXPECT_EQ(c.joined, text);
    }
}

}  // namespace

// The first byte that is no plain ASCII, or the first escape, wherever it lies against the
// vectors of every width the processor may use; a byte beyond ASCII at every place for the
// look before a file is counted.
TEST(UnitKernels, AsciiStopsAtTheFirstByteThatIsNotPlainAndAtEscapes)
{
    const char after[3] = {'#', 'f', 'F'};
    const struct {
        std::string stop;
        bool stops;
    } placed[] = {
        {"\x01", true}, {"\xe9", true}, {"\x7f", true}, {"\x0c", true},  {"&#", true},
        {"&F", true},   {"&x", false},  {"\t", false},  {"\r\n", false}, {"#&", false},
    };
    for (ScanFeatures features : {ScanFeatures::SSE2, ScanFeatures::AVX2}) {
        limitScanFeatures(features);
        for (const auto& p : placed) {
            for (std::size_t at = 0; at + p.stop.size() <= 100; ++at) {
                std::string bytes(100, 'a');
                bytes.replace(at, p.stop.size(), p.stop);
                bytes += "\x02";  // a stop after the end, beyond the count looked at
                EXPECT_EQ(p.stops ? at : 100, asciiStop(bytes.data(), 0, 100, '&', after))
                    << p.stop << " at " << at << ", features " << static_cast<int>(features);
            }
        }
        EXPECT_EQ(5u, asciiStop("aaaa&", 0, 5, '&', after)) << "an escape lead at the end is none";
    }
    limitScanFeatures(ScanFeatures::AVX2);
    for (std::size_t at = 0; at < 200; ++at) {
        std::string bytes(200, 'a');
        bytes[at] = '\x80';
        EXPECT_EQ(at, asciiPrefix(bytes.data(), bytes.size())) << "at " << at;
    }
}
