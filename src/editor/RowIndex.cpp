#include "editor/RowIndex.h"

#include <algorithm>
#include <numeric>

namespace editor {

void RowIndex::assign(const std::vector<int> &rows)
{
    m_chunks.clear();
    for (size_t i = 0; i < rows.size(); i += ChunkSize) {
        Chunk c;
        c.rows.assign(rows.begin() + std::ptrdiff_t(i),
                      rows.begin() + std::ptrdiff_t(std::min(rows.size(), i + ChunkSize)));
        c.sum = std::accumulate(c.rows.begin(), c.rows.end(), 0);
        m_chunks.push_back(std::move(c));
    }
    rebuildTrees();
}

void RowIndex::rebuildTrees()
{
    const size_t n = m_chunks.size();
    m_blockTree.assign(n + 1, 0);
    m_rowTree.assign(n + 1, 0);
    m_blocks = m_rows = 0;
    for (size_t i = 1; i <= n; ++i) {
        const Chunk &c = m_chunks[i - 1];
        m_blocks += int(c.rows.size());
        m_rows += c.sum;
        m_blockTree[i] += int(c.rows.size());
        m_rowTree[i] += c.sum;
        // Linear-time construction: each node hands its total to its parent.
        if (const size_t parent = i + (i & (~i + 1)); parent <= n) {
            m_blockTree[parent] += m_blockTree[i];
            m_rowTree[parent] += m_rowTree[i];
        }
    }
}

void RowIndex::addToTree(std::vector<int> &tree, int chunk, int delta)
{
    for (size_t i = size_t(chunk) + 1; i < tree.size(); i += i & (~i + 1))
        tree[i] += delta;
}

int RowIndex::treePrefix(const std::vector<int> &tree, int chunks)
{
    int sum = 0;
    for (size_t i = size_t(chunks); i > 0; i -= i & (~i + 1))
        sum += tree[i];
    return sum;
}

int RowIndex::treeSearch(const std::vector<int> &tree, int value, int *before)
{
    size_t pos = 0;
    int total = 0;
    size_t step = 1;
    while (step * 2 < tree.size())
        step *= 2;
    for (; step > 0; step /= 2) {
        if (pos + step < tree.size() && total + tree[pos + step] <= value) {
            pos += step;
            total += tree[pos];
        }
    }
    *before = total;
    return int(pos); // 0-based chunk
}

RowIndex::Place RowIndex::place(int block) const
{
    int before = 0;
    const int chunk = treeSearch(m_blockTree, block, &before);
    return {chunk, block - before};
}

int RowIndex::rows(int block) const
{
    if (block < 0 || block >= m_blocks)
        return 0;
    const Place p = place(block);
    return m_chunks[size_t(p.chunk)].rows[size_t(p.index)];
}

void RowIndex::setRows(int block, int rows)
{
    if (block < 0 || block >= m_blocks)
        return;
    const Place p = place(block);
    Chunk &c = m_chunks[size_t(p.chunk)];
    const int delta = rows - c.rows[size_t(p.index)];
    if (delta == 0)
        return;
    c.rows[size_t(p.index)] = rows;
    c.sum += delta;
    m_rows += delta;
    addToTree(m_rowTree, p.chunk, delta);
}

void RowIndex::replace(int at, int removed, const std::vector<int> &rows)
{
    at = std::clamp(at, 0, m_blocks);
    removed = std::clamp(removed, 0, m_blocks - at);
    if (removed == 0 && rows.empty())
        return;
    if (removed == int(rows.size())) {
        for (size_t i = 0; i < rows.size(); ++i)
            setRows(at + int(i), rows[i]);
        return;
    }
    // Take the removed blocks out chunk by chunk, then put the new ones into the chunk
    // where the first was; chunks that grow too long are split, empty ones dropped.
    if (m_chunks.empty())
        m_chunks.emplace_back();
    const Place p = at < m_blocks
                        ? place(at)
                        : Place{int(m_chunks.size()) - 1, int(m_chunks.back().rows.size())};
    size_t chunk = size_t(p.chunk);
    int index = p.index;
    for (int left = removed; left > 0;) {
        Chunk &c = m_chunks[chunk];
        const int take = std::min(left, int(c.rows.size()) - index);
        const auto from = c.rows.begin() + index;
        c.sum -= std::accumulate(from, from + take, 0);
        c.rows.erase(from, from + take);
        left -= take;
        if (left > 0) {
            ++chunk;
            index = 0;
        }
    }
    Chunk &target = m_chunks[size_t(p.chunk)];
    target.rows.insert(target.rows.begin() + p.index, rows.begin(), rows.end());
    target.sum += std::accumulate(rows.begin(), rows.end(), 0);

    std::vector<Chunk> chunks;
    chunks.reserve(m_chunks.size() + rows.size() / ChunkSize + 1);
    for (Chunk &c : m_chunks) {
        if (c.rows.empty())
            continue;
        if (int(c.rows.size()) <= 2 * ChunkSize) {
            chunks.push_back(std::move(c));
            continue;
        }
        for (size_t i = 0; i < c.rows.size(); i += ChunkSize) {
            Chunk part;
            part.rows.assign(c.rows.begin() + std::ptrdiff_t(i),
                             c.rows.begin() +
                                 std::ptrdiff_t(std::min(c.rows.size(), i + ChunkSize)));
            part.sum = std::accumulate(part.rows.begin(), part.rows.end(), 0);
            chunks.push_back(std::move(part));
        }
    }
    m_chunks = std::move(chunks);
    rebuildTrees();
}

int RowIndex::firstRow(int block) const
{
    if (block <= 0)
        return 0;
    if (block >= m_blocks)
        return m_rows;
    const Place p = place(block);
    const Chunk &c = m_chunks[size_t(p.chunk)];
    return treePrefix(m_rowTree, p.chunk) +
           std::accumulate(c.rows.begin(), c.rows.begin() + p.index, 0);
}

int RowIndex::blockOfRow(int row) const
{
    if (m_blocks == 0)
        return 0;
    if (row >= m_rows)
        return m_blocks - 1;
    row = std::max(row, 0);
    int rowsBefore = 0;
    const int chunk = treeSearch(m_rowTree, row, &rowsBefore);
    int block = treePrefix(m_blockTree, chunk);
    const Chunk &c = m_chunks[size_t(chunk)];
    for (int r : c.rows) {
        if (rowsBefore + r > row)
            return block;
        rowsBefore += r;
        ++block;
    }
    return block - 1;
}

} // namespace editor
