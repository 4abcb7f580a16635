// A B+ tree over the pages of one file. Leaves hold cells of any size in slotted pages, sorted
// by their first `keyWidth` bytes under memcmp; every cell key is unique. Interior elements
// carry the number of cells under them, so that a cell's rank and the cell of a given rank are
// found in O(log n).
//
// A Path records the page and slot taken at each level. It stays valid while the pager's
// generation is unchanged.
#pragma once

#include <cstdint>

#include "engine/src/Bytes.h"
#include "engine/src/Pager.h"

namespace zelmor::engine {

class BTree {
public:
    static constexpr int kMaxDepth = 24;

    // Left uninitialised on purpose: paths live on the stack of every read.
    struct Level {
        std::uint32_t page;
        std::uint32_t index;
    };
    struct Path {
        Level levels[kMaxDepth];
        int depth = 0;
        Path() = default;
        // Copies only the levels in use: cursors copy paths on every step.
        Path(const Path& other) { *this = other; }
        Path& operator=(const Path& other) {
            depth = other.depth;
            for (int i = 0; i < depth; ++i) levels[i] = other.levels[i];
            return *this;
        }
        Level& leaf() { return levels[depth - 1]; }
        const Level& leaf() const { return levels[depth - 1]; }
    };
    struct CellView {
        const std::uint8_t* data = nullptr;
        std::size_t size = 0;
    };

    // `rootField`: where the header page keeps this tree's root page number.
    BTree(Pager& pager, std::uint8_t tree, std::size_t keyWidth, bool recordCells,
          std::size_t rootField);

    std::size_t KeyWidth() const { return keyWidth_; }
    // Makes an empty tree (a root leaf) and records its root.
    Status CreateEmpty();

    // The first cell whose key is >= `key`; *atEnd when there is none.
    Status Seek(const std::uint8_t* key, Path* path, bool* atEnd);
    Status First(Path* path, bool* atEnd);
    Status Last(Path* path, bool* atEnd);
    Status Next(Path* path, bool* atEnd);
    // *atStart when the path was on the first cell (the path is then unchanged).
    Status Previous(Path* path, bool* atStart);
    Status Cell(const Path& path, CellView* cell) {
        Page* leaf = nullptr;
        ZELRM_TRY(Node(path.leaf().page, &leaf));
        const std::uint8_t* data = leaf->data();
        if (path.leaf().index >= Load16(data + format::kCount)) return Status::kIoError;
        std::size_t offset = Load16(data + format::kPageHeaderSize + 2 * path.leaf().index);
        cell->data = data + offset;
        cell->size = CellSize(data + offset, format::kPageSize - offset);
        return Status::kOk;
    }

    // Adds a cell whose key is not in the tree.
    Status Insert(const std::uint8_t* cell, std::size_t size);
    // Where a cell with `key` goes, for InsertAt while the tree stays unchanged. With
    // `uniqueLength` > 0, *duplicate tells whether a cell has the same first uniqueLength bytes
    // (then `key` must be the smallest key with them: its other bytes zero).
    Status FindSlot(const std::uint8_t* key, std::size_t uniqueLength, Path* path,
                    bool* duplicate);
    Status InsertAt(const Path& path, const std::uint8_t* cell, std::size_t size);
    // Removes the cell whose key is `key` (kIoError when there is none: the tree disagrees with
    // its caller).
    Status Remove(const std::uint8_t* key);

    Status Rank(const Path& path, std::uint32_t* rank);
    Status Select(std::uint32_t rank, Path* path);
    Status Count(std::uint32_t* count);

private:
    struct Split;

    std::uint32_t Root();
    // A page of this tree, its structure checked once.
    Status Node(std::uint32_t number, Page** page) {
        ZELRM_TRY(pager_.Get(number, page));
        if ((*page)->checked && (*page)->data()[format::kTree] == tree_) return Status::kOk;
        return CheckNode(*page);
    }
    Status CheckNode(Page* page);
    bool Check(Page* page);
    std::size_t CellSize(const std::uint8_t* cell, std::size_t room) const;
    std::size_t ElementSize() const { return 8 + keyWidth_; }
    std::size_t Capacity() const;
    Status Descend(const std::uint8_t* key, Path* path);
    Status DescendEdge(std::uint32_t page, bool rightmost, Path* path);
    Status Normalize(Path* path, bool* atEnd);
    Status SplitLeaf(Page* leaf, std::uint32_t index, const std::uint8_t* cell, std::size_t size,
                     Split* split);
    Status InsertElement(Page* node, std::uint32_t index, std::uint32_t child, std::uint32_t count,
                         const std::uint8_t* key, Split* split);
    Status RemoveElement(Path* path, int level);
    Status MergeLeaf(Path* path);
    Status CollapseRoot();
    std::uint32_t SumCounts(Page* node);
    // Adds `delta` to the counts of the interior elements along `path`.
    Status AdjustCounts(const Path& path, int delta);

    Pager& pager_;
    std::uint8_t tree_;
    std::size_t keyWidth_;
    bool recordCells_;
    std::size_t rootField_;
    std::uint8_t scratch_[format::kPageSize * 2];
};

}  // namespace zelmor::engine
