#include "text/RowEnds.h"

#include <algorithm>
#include <iterator>

#include "text/LittleEndian.h"

namespace {

const std::size_t PAGE_SIZE = 512;
const std::size_t ENTRY_SIZE = 13;
const std::uint16_t SPRM_TTP = 0x2417;
const std::uint16_t SPRM_DEF_TABLE = 0xD608;
const std::uint16_t SPRM_CHANGE_TABS = 0xC615;

// Whether the sprms in [at, at + size) set sprmPFTtp. Stops at the first sprm it cannot size.
bool marksRowEnd(const unsigned char* at, std::size_t size)
{
    std::size_t k = 0;
    while (size - k >= 2) {
        std::uint16_t sprm = read16(at + k);
        k += 2;
        std::size_t operand = 0;
        switch (sprm >> 13) {
        case 0:
        case 1:
            operand = 1;
            break;
        case 2:
        case 4:
        case 5:
            operand = 2;
            break;
        case 3:
            operand = 4;
            break;
        case 7:
            operand = 3;
            break;
        default:
            if (sprm == SPRM_DEF_TABLE) {
                if (size - k < 2 || read16(at + k) == 0)
                    return false;
                operand = 2 + read16(at + k) - 1;
            } else {
                if (size - k < 1 || (sprm == SPRM_CHANGE_TABS && at[k] == 255))
                    return false;
                operand = 1 + at[k];
            }
            break;
        }
        if (size - k < operand)
            return false;
        if (sprm == SPRM_TTP && at[k] == 1)
            return true;
        k += operand;
    }
    return false;
}

}  // namespace

void RowEnds::read(const std::vector<unsigned char>& word, const std::vector<unsigned char>& table, std::uint64_t start,
                   std::uint64_t size)
{
    if (!readRuns(word, table, start, size))
        runs.clear();
}

bool RowEnds::readRuns(const std::vector<unsigned char>& word, const std::vector<unsigned char>& table,
                       std::uint64_t start, std::uint64_t size)
{
    runs.clear();
    if (size == 0)
        return true;
    if (start > table.size() || size > table.size() - start || size < 4 || (size - 4) % 8 != 0)
        return false;
    const std::size_t pages = static_cast<std::size_t>((size - 4) / 8);
    const unsigned char* numbers = table.data() + start + 4 * (pages + 1);
    // Each page is read once at most, so the work stays in proportion to the stream's size.
    std::vector<bool> seen(word.size() / PAGE_SIZE, false);
    for (std::size_t i = 0; i < pages; ++i) {
        std::uint32_t number = read32(numbers + 4 * i) & 0x3FFFFF;
        std::uint64_t offset = std::uint64_t{number} * PAGE_SIZE;
        if (offset > word.size() || word.size() - offset < PAGE_SIZE || seen[number])
            return false;
        seen[number] = true;
        const unsigned char* page = word.data() + offset;
        const std::size_t count = page[PAGE_SIZE - 1];
        const std::size_t entries = 4 * (count + 1);
        if (entries + ENTRY_SIZE * count > PAGE_SIZE - 1)
            return false;
        for (std::size_t k = 0; k < count; ++k) {
            std::size_t at = 2 * std::size_t{page[entries + ENTRY_SIZE * k]};
            if (at == 0)
                continue;
            if (at + 2 > PAGE_SIZE - 1)
                return false;
            std::size_t length = page[at] != 0 ? 2 * std::size_t{page[at]} - 1 : 2 * std::size_t{page[at + 1]};
            std::size_t from = page[at] != 0 ? at + 1 : at + 2;
            if (from + length > PAGE_SIZE - 1 || length < 2)
                return false;
            if (marksRowEnd(page + from + 2, length - 2))
                runs.push_back({read32(page + 4 * k), read32(page + 4 * (k + 1))});
        }
    }
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.start < b.start; });
    return true;
}

bool RowEnds::endsRow(std::uint64_t offset) const
{
    // Runs of one document never overlap: the last that starts at or before offset is the one.
    auto after = std::upper_bound(runs.begin(), runs.end(), offset,
                                  [](std::uint64_t at, const Run& run) { return at < run.start; });
    return after != runs.begin() && offset < std::prev(after)->end;
}
