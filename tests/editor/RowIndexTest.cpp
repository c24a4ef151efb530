// The row index against the plain list of counts it stands for: random edits of every
// kind (recounts, insertions, removals, replacements across chunk borders, emptying), and
// after each one every answer compared.
#include "editor/RowIndex.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

namespace {

void expectSame(const editor::RowIndex &index, const std::vector<int> &rows)
{
    ASSERT_EQ(index.blockCount(), int(rows.size()));
    ASSERT_EQ(index.rowCount(), std::accumulate(rows.begin(), rows.end(), 0));
    int first = 0;
    for (size_t b = 0; b < rows.size(); ++b) {
        ASSERT_EQ(index.rows(int(b)), rows[b]) << b;
        ASSERT_EQ(index.firstRow(int(b)), first) << b;
        for (int r = first; r < first + rows[b]; ++r)
            ASSERT_EQ(index.blockOfRow(r), int(b)) << r;
        first += rows[b];
    }
    ASSERT_EQ(index.firstRow(int(rows.size())), first);
    if (!rows.empty()) {
        ASSERT_EQ(index.blockOfRow(first + 5), int(rows.size()) - 1) << "past the end";
    }
}

TEST(RowIndex, AnswersAsThePlainListAfterEveryKindOfEdit)
{
    std::mt19937 random(11);
    const auto counts = [&](int n) {
        std::vector<int> v(static_cast<size_t>(n), 0);
        for (int &r : v)
            r = int(random() % 4); // blocks of no rows (hidden) included
        return v;
    };
    std::vector<int> rows = counts(3000);
    editor::RowIndex index;
    index.assign(rows);
    expectSame(index, rows);
    for (int step = 0; step < 300; ++step) {
        const int size = int(rows.size());
        const int at = size ? int(random() % (size + 1)) : 0;
        switch (random() % 4) {
        case 0: // recount one block
            if (size) {
                const int b = int(random() % size);
                rows[size_t(b)] = int(random() % 5);
                index.setRows(b, rows[size_t(b)]);
            }
            break;
        case 1: { // a paste: many blocks in, possibly several chunks' worth
            const std::vector<int> in = counts(int(random() % 1500));
            rows.insert(rows.begin() + at, in.begin(), in.end());
            index.replace(at, 0, in);
            break;
        }
        case 2: { // a deletion across chunk borders
            const int removed = std::min(size - at, int(random() % 1200));
            rows.erase(rows.begin() + at, rows.begin() + at + removed);
            index.replace(at, removed, {});
            break;
        }
        default: { // an edit that joins or splits lines
            const int removed = std::min(size - at, int(random() % 3));
            const std::vector<int> in = counts(int(random() % 3));
            rows.erase(rows.begin() + at, rows.begin() + at + removed);
            rows.insert(rows.begin() + at, in.begin(), in.end());
            index.replace(at, removed, in);
        }
        }
        if (step % 10 == 0 || rows.size() < 50)
            expectSame(index, rows);
    }
    expectSame(index, rows);
    index.replace(0, index.blockCount(), {});
    expectSame(index, {});
    index.replace(0, 0, {2, 1});
    expectSame(index, {2, 1});
}

} // namespace
