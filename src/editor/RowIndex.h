#pragma once
// How many display rows (columns, in vertical writing) each block of a text takes, kept so
// that the questions a view asks on every keystroke cost O(log n) however long the text is:
// which row a block starts at, which block holds a row, the number of rows. Blocks are
// inserted, removed and recounted where an edit happened; nothing else is touched.
//
// The counts are held in chunks of a few hundred blocks, with Fenwick trees over the
// chunks' block counts and row sums: a count changed is O(log n), an edit that adds or
// removes blocks rebuilds only the trees over the chunks (a few thousand numbers for a
// million lines).

#include <vector>

namespace editor {

class RowIndex
{
public:
    // Every block's rows, the first block first.
    void assign(const std::vector<int> &rows);
    void clear() { assign({}); }

    int blockCount() const { return m_blocks; }
    int rowCount() const { return m_rows; }
    int rows(int block) const;
    void setRows(int block, int rows);
    // Replaces `removed` blocks from `at` on with blocks of the given rows.
    void replace(int at, int removed, const std::vector<int> &rows);

    // The rows before a block (the row it starts at); rowCount() for blockCount().
    int firstRow(int block) const;
    // The block that holds a row; the last block for a row at or past the end.
    int blockOfRow(int row) const;

private:
    static constexpr int ChunkSize = 512;
    struct Chunk
    {
        std::vector<int> rows;
        int sum = 0;
    };
    // The chunk that holds a block and the block's index in it.
    struct Place
    {
        int chunk;
        int index;
    };
    Place place(int block) const;
    void rebuildTrees();
    void addToTree(std::vector<int> &tree, int chunk, int delta);
    static int treePrefix(const std::vector<int> &tree, int chunks);
    // The first chunk whose running total exceeds `value`, and the total before it.
    static int treeSearch(const std::vector<int> &tree, int value, int *before);

    std::vector<Chunk> m_chunks;
    std::vector<int> m_blockTree; // Fenwick tree (1-based) of the chunks' block counts
    std::vector<int> m_rowTree;   // and of their row sums
    int m_blocks = 0;
    int m_rows = 0;
};

} // namespace editor
