#include "engine/src/BTree.h"

#include <cstring>

#include "engine/src/Bytes.h"

namespace zelmor::engine {

using namespace format;

namespace {

constexpr std::size_t kSlots = kPageHeaderSize;

std::uint32_t CountOf(const std::uint8_t* node) { return Load16(node + kCount); }
void SetCount(std::uint8_t* node, std::uint32_t count) {
    Store16(node + kCount, static_cast<std::uint16_t>(count));
}
std::uint32_t SlotOf(const std::uint8_t* leaf, std::uint32_t i) {
    return Load16(leaf + kSlots + 2 * i);
}
std::size_t LeafFree(const std::uint8_t* leaf) {
    return Load16(leaf + kCellStart) - (kSlots + 2 * CountOf(leaf)) + Load16(leaf + kFragments);
}
// memcmp of two keys, inlined: eight bytes at a time as big-endian numbers.
int CompareKeys(const std::uint8_t* a, const std::uint8_t* b, std::size_t width) {
    for (; width >= 8; width -= 8, a += 8, b += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        if (x != y) return __builtin_bswap64(x) < __builtin_bswap64(y) ? -1 : 1;
    }
    for (; width > 0; --width, ++a, ++b)
        if (*a != *b) return *a < *b ? -1 : 1;
    return 0;
}

void ResetLeaf(std::uint8_t* leaf) {
    SetCount(leaf, 0);
    Store16(leaf + kCellStart, static_cast<std::uint16_t>(kPageSize));
    Store16(leaf + kFragments, 0);
}
// Adds a cell at slot `index`; the caller made sure it fits contiguously.
void PutCell(std::uint8_t* leaf, std::uint32_t index, const std::uint8_t* cell, std::size_t size) {
    std::uint32_t count = CountOf(leaf);
    std::size_t start = Load16(leaf + kCellStart) - size;
    std::memcpy(leaf + start, cell, size);
    std::uint8_t* slots = leaf + kSlots;
    std::memmove(slots + 2 * (index + 1), slots + 2 * index, 2 * (count - index));
    Store16(slots + 2 * index, static_cast<std::uint16_t>(start));
    Store16(leaf + kCellStart, static_cast<std::uint16_t>(start));
    SetCount(leaf, count + 1);
}

}  // namespace

struct BTree::Split {
    std::uint32_t page = 0;
    std::uint32_t leftCount = 0;
    std::uint32_t rightCount = 0;
    bool happened = false;
    std::uint8_t key[kMaxEntry] = {};
};

BTree::BTree(Pager& pager, std::uint8_t tree, std::size_t keyWidth, bool recordCells,
             std::size_t rootField)
    : pager_(pager),
      tree_(tree),
      keyWidth_(keyWidth),
      recordCells_(recordCells),
      rootField_(rootField) {}

std::uint32_t BTree::Root() { return Load32(pager_.Header()->data() + rootField_); }

std::size_t BTree::Capacity() const { return (kPageSize - kPageHeaderSize) / ElementSize(); }

std::size_t BTree::CellSize(const std::uint8_t* cell, std::size_t room) const {
    if (!recordCells_) return keyWidth_ <= room ? keyWidth_ : 0;
    if (room < kRecordCellHeader) return 0;
    std::uint32_t length = Load32(cell + kRecordSize);
    std::size_t size = 0;
    if (cell[kRecordStorage] == kStoredInline && length <= kMaxInlineRecord)
        size = kRecordCellHeader + length;
    else if (cell[kRecordStorage] == kStoredOverflow)
        size = kRecordCellHeader + 4;
    return size <= room ? size : 0;
}

bool BTree::Check(Page* page) {
    const std::uint8_t* data = page->data();
    if (data[kTree] != tree_) return false;
    const std::uint32_t count = CountOf(data);
    if (data[kKind] == static_cast<std::uint8_t>(PageKind::kLeaf)) {
        std::size_t cellStart = Load16(data + kCellStart);
        if (kSlots + 2 * count > cellStart || cellStart > kPageSize) return false;
        // The cells and the gaps between them fill the cell area exactly: inserts, removals and
        // rebuilds work out the free room from these numbers and must never write past them.
        std::size_t used = Load16(data + kFragments);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::size_t offset = SlotOf(data, i);
            if (offset < cellStart || offset >= kPageSize) return false;
            const std::size_t size = CellSize(data + offset, kPageSize - offset);
            if (size == 0) return false;
            used += size;
        }
        return used == kPageSize - cellStart;
    }
    if (data[kKind] != static_cast<std::uint8_t>(PageKind::kInterior)) return false;
    if (count == 0 || kPageHeaderSize + count * ElementSize() > kPageSize) return false;
    const std::uint32_t pages = pager_.PageCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t child = Load32(data + kPageHeaderSize + i * ElementSize() + kElementChild);
        if (child == 0 || child >= pages) return false;
    }
    return true;
}

// A page checked for another tree is checked again (and refused) for this one.
Status BTree::CheckNode(Page* page) {
    if (!Check(page)) return Status::kIoError;
    page->checked = true;
    return Status::kOk;
}

Status BTree::CreateEmpty() {
    Page* root = nullptr;
    ZELRM_TRY(pager_.Allocate(PageKind::kLeaf, tree_, &root));
    ResetLeaf(root->data());
    Page* header = pager_.Header();
    pager_.MarkDirty(header);
    Store32(header->data() + rootField_, root->number);
    return Status::kOk;
}

namespace {

struct Interior {
    std::uint8_t* data;
    std::size_t elementSize;
    std::uint8_t* element(std::uint32_t i) const {
        return data + kPageHeaderSize + i * elementSize;
    }
    std::uint32_t child(std::uint32_t i) const { return Load32(element(i) + kElementChild); }
    std::uint32_t count(std::uint32_t i) const { return Load32(element(i) + kElementCount); }
    void setCount(std::uint32_t i, std::uint32_t value) const {
        Store32(element(i) + kElementCount, value);
    }
};

}  // namespace

Status BTree::Descend(const std::uint8_t* key, Path* path) {
    path->depth = 0;
    // The smallest key the current subtree may hold, when known.
    const std::uint8_t* lowerBound = nullptr;
    std::uint32_t number = Root();
    for (;;) {
        if (path->depth >= kMaxDepth) return Status::kIoError;
        Page* page = nullptr;
        ZELRM_TRY(Node(number, &page));
        std::uint8_t* data = page->data();
        std::uint32_t count = CountOf(data);
        if (data[kKind] == static_cast<std::uint8_t>(PageKind::kLeaf)) {
            std::uint32_t low = 0, high = count;
            if (recordCells_ && count > 0) {
                // Positions are handed out in order, so a leaf usually holds a run of them:
                // try the slot the lower bound from the parent points at before searching.
                const std::uint32_t target = LoadBig32(key);
                const std::uint32_t base =
                    lowerBound != nullptr ? LoadBig32(lowerBound) : LoadBig32(data + SlotOf(data, 0));
                if (target >= base && target - base < count) {
                    const std::uint32_t guess = target - base;
                    const std::uint32_t found = LoadBig32(data + SlotOf(data, guess));
                    if (found == target) {
                        low = high = guess;
                    } else if (found < target) {
                        low = guess + 1;
                    } else {
                        high = guess;
                    }
                }
            }
            while (low < high) {
                std::uint32_t middle = (low + high) / 2;
                if (CompareKeys(data + SlotOf(data, middle), key, keyWidth_) < 0)
                    low = middle + 1;
                else
                    high = middle;
            }
            path->levels[path->depth++] = {number, low};
            return Status::kOk;
        }
        Interior node{data, ElementSize()};
        // The last element whose key is <= key; element 0 stands for everything below.
        std::uint32_t low = 1, high = count;
        if (recordCells_ && count > 2) {
            // Positions spread evenly over the children: try the element they point at first.
            const std::uint32_t target = LoadBig32(key);
            const std::uint32_t first = LoadBig32(node.element(1) + kElementKey);
            const std::uint32_t last = LoadBig32(node.element(count - 1) + kElementKey);
            if (target >= first && target < last) {
                const auto guess = static_cast<std::uint32_t>(
                    1 + std::uint64_t{target - first} * (count - 2) / (last - first));
                if (LoadBig32(node.element(guess) + kElementKey) <= target) {
                    low = guess + 1;
                    if (LoadBig32(node.element(guess + 1) + kElementKey) > target) high = low;
                } else {
                    high = guess;
                }
            }
        }
        while (low < high) {
            std::uint32_t middle = (low + high) / 2;
            if (CompareKeys(node.element(middle) + kElementKey, key, keyWidth_) <= 0)
                low = middle + 1;
            else
                high = middle;
        }
        path->levels[path->depth++] = {number, low - 1};
        lowerBound = low > 1 ? node.element(low - 1) + kElementKey : nullptr;
        number = node.child(low - 1);
    }
}

Status BTree::DescendEdge(std::uint32_t number, bool rightmost, Path* path) {
    for (;;) {
        if (path->depth >= kMaxDepth) return Status::kIoError;
        Page* page = nullptr;
        ZELRM_TRY(Node(number, &page));
        std::uint32_t count = CountOf(page->data());
        std::uint32_t index = rightmost && count > 0 ? count - 1 : 0;
        path->levels[path->depth++] = {number, index};
        if (page->data()[kKind] == static_cast<std::uint8_t>(PageKind::kLeaf))
            return Status::kOk;
        number = Interior{page->data(), ElementSize()}.child(index);
    }
}

Status BTree::Normalize(Path* path, bool* atEnd) {
    Page* leaf = nullptr;
    ZELRM_TRY(Node(path->leaf().page, &leaf));
    *atEnd = false;
    if (path->leaf().index < CountOf(leaf->data())) return Status::kOk;
    for (int level = path->depth - 2; level >= 0; --level) {
        Page* page = nullptr;
        ZELRM_TRY(Node(path->levels[level].page, &page));
        Interior node{page->data(), ElementSize()};
        if (path->levels[level].index + 1 < CountOf(page->data())) {
            std::uint32_t index = ++path->levels[level].index;
            path->depth = level + 1;
            return DescendEdge(node.child(index), false, path);
        }
    }
    *atEnd = true;
    return Status::kOk;
}

Status BTree::Seek(const std::uint8_t* key, Path* path, bool* atEnd) {
    ZELRM_TRY(Descend(key, path));
    return Normalize(path, atEnd);
}

Status BTree::First(Path* path, bool* atEnd) {
    path->depth = 0;
    ZELRM_TRY(DescendEdge(Root(), false, path));
    return Normalize(path, atEnd);
}

Status BTree::Last(Path* path, bool* atEnd) {
    path->depth = 0;
    ZELRM_TRY(DescendEdge(Root(), true, path));
    return Normalize(path, atEnd);
}

Status BTree::Next(Path* path, bool* atEnd) {
    ++path->leaf().index;
    Status status = Normalize(path, atEnd);
    if (*atEnd) --path->leaf().index;
    return status;
}

Status BTree::Previous(Path* path, bool* atStart) {
    *atStart = false;
    if (path->leaf().index > 0) {
        --path->leaf().index;
        return Status::kOk;
    }
    for (int level = path->depth - 2; level >= 0; --level) {
        if (path->levels[level].index > 0) {
            Page* page = nullptr;
            ZELRM_TRY(Node(path->levels[level].page, &page));
            std::uint32_t index = --path->levels[level].index;
            path->depth = level + 1;
            return DescendEdge(Interior{page->data(), ElementSize()}.child(index), true, path);
        }
    }
    *atStart = true;
    return Status::kOk;
}

Status BTree::SplitLeaf(Page* leaf, std::uint32_t index, const std::uint8_t* cell,
                        std::size_t size, Split* split) {
    std::uint8_t* data = leaf->data();
    std::memcpy(scratch_, data, kPageSize);
    const std::uint32_t count = CountOf(scratch_);
    // The cells in order, the new one included, as (pointer, size) into the copy.
    struct Item {
        const std::uint8_t* data;
        std::size_t size;
    };
    Item items[kPageSize / 2 + 1];
    std::size_t total = 0;
    for (std::uint32_t i = 0, j = 0; i <= count; ++i) {
        if (i == index) {
            items[i] = {cell, size};
        } else {
            const std::uint8_t* existing = scratch_ + SlotOf(scratch_, j++);
            items[i] = {existing, CellSize(existing, kPageSize - (existing - scratch_))};
        }
        total += items[i].size + 2;
    }
    // Appending (or prepending) fills the old page: sequential inserts leave full pages.
    std::uint32_t cut;
    if (index == count) {
        cut = count;
    } else if (index == 0) {
        cut = 1;
    } else {
        std::size_t left = 0;
        cut = 0;
        while (cut < count && left + items[cut].size + 2 <= total / 2) left += items[cut++].size + 2;
        if (cut == 0) cut = 1;
    }
    Page* right = nullptr;
    ZELRM_TRY(pager_.Allocate(PageKind::kLeaf, tree_, &right));
    pager_.MarkDirty(leaf);
    ResetLeaf(data);
    ResetLeaf(right->data());
    for (std::uint32_t i = 0; i < cut; ++i) PutCell(data, i, items[i].data, items[i].size);
    for (std::uint32_t i = cut; i <= count; ++i)
        PutCell(right->data(), i - cut, items[i].data, items[i].size);
    split->happened = true;
    split->page = right->number;
    split->leftCount = cut;
    split->rightCount = count + 1 - cut;
    std::memcpy(split->key, items[cut].data, keyWidth_);
    return Status::kOk;
}

Status BTree::InsertElement(Page* page, std::uint32_t index, std::uint32_t child,
                            std::uint32_t count, const std::uint8_t* key, Split* split) {
    pager_.MarkDirty(page);
    std::uint8_t* data = page->data();
    const std::uint32_t elements = CountOf(data);
    const std::size_t size = ElementSize();
    Interior node{data, size};
    split->happened = false;
    if (elements < Capacity()) {
        std::memmove(node.element(index + 1), node.element(index), (elements - index) * size);
        std::uint8_t* element = node.element(index);
        Store32(element + kElementChild, child);
        Store32(element + kElementCount, count);
        std::memcpy(element + kElementKey, key, keyWidth_);
        SetCount(data, elements + 1);
        return Status::kOk;
    }
    // Full: lay the elements out in the scratch area with the new one, then share them out.
    Interior all{scratch_ - kPageHeaderSize, size};
    std::memcpy(all.element(0), node.element(0), index * size);
    std::uint8_t* element = all.element(index);
    Store32(element + kElementChild, child);
    Store32(element + kElementCount, count);
    std::memcpy(element + kElementKey, key, keyWidth_);
    std::memcpy(all.element(index + 1), node.element(index), (elements - index) * size);
    const std::uint32_t total = elements + 1;
    const std::uint32_t cut = total / 2;
    Page* right = nullptr;
    ZELRM_TRY(pager_.Allocate(PageKind::kInterior, tree_, &right));
    Interior rightNode{right->data(), size};
    std::memcpy(node.element(0), all.element(0), cut * size);
    SetCount(data, cut);
    std::memcpy(rightNode.element(0), all.element(cut), (total - cut) * size);
    SetCount(right->data(), total - cut);
    split->happened = true;
    split->page = right->number;
    split->leftCount = SumCounts(page);
    split->rightCount = SumCounts(right);
    std::memcpy(split->key, all.element(cut) + kElementKey, keyWidth_);
    return Status::kOk;
}

Status BTree::AdjustCounts(const Path& path, int delta) {
    for (int level = 0; level < path.depth - 1; ++level) {
        Page* page = nullptr;
        ZELRM_TRY(Node(path.levels[level].page, &page));
        pager_.MarkDirty(page);
        Interior node{page->data(), ElementSize()};
        const std::uint32_t index = path.levels[level].index;
        node.setCount(index, node.count(index) + static_cast<std::uint32_t>(delta));
    }
    return Status::kOk;
}

std::uint32_t BTree::SumCounts(Page* page) {
    Interior node{page->data(), ElementSize()};
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < CountOf(page->data()); ++i) sum += node.count(i);
    return sum;
}

Status BTree::Insert(const std::uint8_t* cell, std::size_t size) {
    Path path;
    ZELRM_TRY(Descend(cell, &path));
    return InsertAt(path, cell, size);
}

Status BTree::FindSlot(const std::uint8_t* key, std::size_t uniqueLength, Path* path,
                       bool* duplicate) {
    ZELRM_TRY(Descend(key, path));
    *duplicate = false;
    if (uniqueLength == 0) return Status::kOk;
    // The first cell at or after the slot, which may begin the next leaf.
    Path next = *path;
    bool atEnd = false;
    ZELRM_TRY(Normalize(&next, &atEnd));
    if (atEnd) return Status::kOk;
    CellView found;
    ZELRM_TRY(Cell(next, &found));
    *duplicate = std::memcmp(found.data, key, uniqueLength) == 0;
    return Status::kOk;
}

Status BTree::InsertAt(const Path& slot, const std::uint8_t* cell, std::size_t size) {
    if (size < keyWidth_ || size + 2 > (kPageSize - kPageHeaderSize) / 4) return Status::kIoError;
    Path path = slot;
    Page* leaf = nullptr;
    ZELRM_TRY(Node(path.leaf().page, &leaf));
    std::uint32_t index = path.leaf().index;
    if (index < CountOf(leaf->data()) &&
        std::memcmp(leaf->data() + SlotOf(leaf->data(), index), cell, keyWidth_) == 0)
        return Status::kIoError;
    ZELRM_TRY(AdjustCounts(path, +1));
    pager_.MarkDirty(leaf);
    std::uint8_t* data = leaf->data();
    if (LeafFree(data) >= size + 2) {
        if (Load16(data + kCellStart) - (kSlots + 2 * CountOf(data)) < size + 2) {
            // Gather the fragments: rebuild the page from a copy.
            std::memcpy(scratch_, data, kPageSize);
            ResetLeaf(data);
            for (std::uint32_t i = 0; i < CountOf(scratch_); ++i) {
                const std::uint8_t* existing = scratch_ + SlotOf(scratch_, i);
                PutCell(data, i, existing, CellSize(existing, kPageSize - SlotOf(scratch_, i)));
            }
        }
        PutCell(data, index, cell, size);
        return Status::kOk;
    }
    Split split;
    ZELRM_TRY(SplitLeaf(leaf, index, cell, size, &split));
    for (int level = path.depth - 2; level >= 0; --level) {
        Page* page = nullptr;
        ZELRM_TRY(Node(path.levels[level].page, &page));
        pager_.MarkDirty(page);
        Interior{page->data(), ElementSize()}.setCount(path.levels[level].index, split.leftCount);
        Split above;
        ZELRM_TRY(InsertElement(page, path.levels[level].index + 1, split.page, split.rightCount,
                                split.key, &above));
        if (!above.happened) return Status::kOk;
        split = above;
    }
    // The root split: a new root above the two halves.
    Page* root = nullptr;
    ZELRM_TRY(pager_.Allocate(PageKind::kInterior, tree_, &root));
    Interior node{root->data(), ElementSize()};
    Store32(node.element(0) + kElementChild, Root());
    Store32(node.element(0) + kElementCount, split.leftCount);
    Store32(node.element(1) + kElementChild, split.page);
    Store32(node.element(1) + kElementCount, split.rightCount);
    std::memcpy(node.element(1) + kElementKey, split.key, keyWidth_);
    SetCount(root->data(), 2);
    pager_.MarkDirty(pager_.Header());
    Store32(pager_.Header()->data() + rootField_, root->number);
    return Status::kOk;
}

Status BTree::RemoveElement(Path* path, int level) {
    Page* page = nullptr;
    ZELRM_TRY(Node(path->levels[level].page, &page));
    Page* child = nullptr;
    ZELRM_TRY(pager_.Get(path->levels[level + 1].page, &child));
    pager_.Free(child);
    pager_.MarkDirty(page);
    std::uint8_t* data = page->data();
    Interior node{data, ElementSize()};
    const std::uint32_t index = path->levels[level].index;
    const std::uint32_t count = CountOf(data);
    std::memmove(node.element(index), node.element(index + 1),
                 (count - index - 1) * ElementSize());
    SetCount(data, count - 1);
    if (count - 1 == 0 && level > 0) return RemoveElement(path, level - 1);
    return Status::kOk;
}

Status BTree::MergeLeaf(Path* path) {
    const int parentLevel = path->depth - 2;
    Page* parent = nullptr;
    ZELRM_TRY(Node(path->levels[parentLevel].page, &parent));
    Interior node{parent->data(), ElementSize()};
    const std::uint32_t elements = CountOf(parent->data());
    std::uint32_t index = path->levels[parentLevel].index;
    // Merge the right one of two neighbours into the left one.
    if (index + 1 >= elements) {
        if (index == 0) return Status::kOk;
        --index;
    }
    Page* left = nullptr;
    Page* right = nullptr;
    ZELRM_TRY(Node(node.child(index), &left));
    ZELRM_TRY(Node(node.child(index + 1), &right));
    if (left->data()[kKind] != static_cast<std::uint8_t>(PageKind::kLeaf) ||
        right->data()[kKind] != static_cast<std::uint8_t>(PageKind::kLeaf))
        return Status::kOk;
    const std::size_t room = kPageSize - kPageHeaderSize;
    if ((room - LeafFree(left->data())) + (room - LeafFree(right->data())) > room)
        return Status::kOk;
    pager_.MarkDirty(left);
    std::memcpy(scratch_, left->data(), kPageSize);
    std::uint8_t* data = left->data();
    ResetLeaf(data);
    std::uint32_t put = 0;
    for (const std::uint8_t* source : {static_cast<const std::uint8_t*>(scratch_),
                                       static_cast<const std::uint8_t*>(right->data())}) {
        for (std::uint32_t i = 0; i < CountOf(source); ++i) {
            const std::uint8_t* cell = source + SlotOf(source, i);
            PutCell(data, put++, cell, CellSize(cell, kPageSize - SlotOf(source, i)));
        }
    }
    pager_.MarkDirty(parent);
    node.setCount(index, node.count(index) + node.count(index + 1));
    path->levels[parentLevel].index = index + 1;
    path->levels[parentLevel + 1].page = right->number;
    return RemoveElement(path, parentLevel);
}

Status BTree::CollapseRoot() {
    for (;;) {
        Page* root = nullptr;
        ZELRM_TRY(Node(Root(), &root));
        std::uint8_t* data = root->data();
        if (data[kKind] != static_cast<std::uint8_t>(PageKind::kInterior)) return Status::kOk;
        if (CountOf(data) == 0) {
            pager_.MarkDirty(root);
            data[kKind] = static_cast<std::uint8_t>(PageKind::kLeaf);
            ResetLeaf(data);
            return Status::kOk;
        }
        if (CountOf(data) > 1) return Status::kOk;
        std::uint32_t child = Interior{data, ElementSize()}.child(0);
        pager_.Free(root);
        pager_.MarkDirty(pager_.Header());
        Store32(pager_.Header()->data() + rootField_, child);
    }
}

Status BTree::Remove(const std::uint8_t* key) {
    Path path;
    ZELRM_TRY(Descend(key, &path));
    Page* leaf = nullptr;
    ZELRM_TRY(Node(path.leaf().page, &leaf));
    std::uint8_t* data = leaf->data();
    const std::uint32_t index = path.leaf().index;
    const std::uint32_t count = CountOf(data);
    if (index >= count || std::memcmp(data + SlotOf(data, index), key, keyWidth_) != 0)
        return Status::kIoError;
    ZELRM_TRY(AdjustCounts(path, -1));
    pager_.MarkDirty(leaf);
    std::size_t offset = SlotOf(data, index);
    std::size_t size = CellSize(data + offset, kPageSize - offset);
    std::uint8_t* slots = data + kSlots;
    std::memmove(slots + 2 * index, slots + 2 * (index + 1), 2 * (count - index - 1));
    SetCount(data, count - 1);
    if (offset == Load16(data + kCellStart))
        Store16(data + kCellStart, static_cast<std::uint16_t>(offset + size));
    else
        Store16(data + kFragments, static_cast<std::uint16_t>(Load16(data + kFragments) + size));
    if (path.depth == 1) return Status::kOk;
    if (count - 1 == 0) {
        ZELRM_TRY(RemoveElement(&path, path.depth - 2));
    } else if (LeafFree(data) > (kPageSize - kPageHeaderSize) * 3 / 4) {
        ZELRM_TRY(MergeLeaf(&path));
    }
    return CollapseRoot();
}

Status BTree::Rank(const Path& path, std::uint32_t* rank) {
    std::uint32_t sum = 0;
    for (int level = 0; level < path.depth - 1; ++level) {
        Page* page = nullptr;
        ZELRM_TRY(Node(path.levels[level].page, &page));
        Interior node{page->data(), ElementSize()};
        for (std::uint32_t i = 0; i < path.levels[level].index; ++i) sum += node.count(i);
    }
    *rank = sum + path.leaf().index;
    return Status::kOk;
}

Status BTree::Select(std::uint32_t rank, Path* path) {
    path->depth = 0;
    std::uint32_t number = Root();
    for (;;) {
        if (path->depth >= kMaxDepth) return Status::kIoError;
        Page* page = nullptr;
        ZELRM_TRY(Node(number, &page));
        const std::uint32_t count = CountOf(page->data());
        if (page->data()[kKind] == static_cast<std::uint8_t>(PageKind::kLeaf)) {
            if (rank >= count) return Status::kIoError;
            path->levels[path->depth++] = {number, rank};
            return Status::kOk;
        }
        Interior node{page->data(), ElementSize()};
        std::uint32_t i = 0;
        while (i + 1 < count && rank >= node.count(i)) rank -= node.count(i++);
        path->levels[path->depth++] = {number, i};
        number = node.child(i);
    }
}

Status BTree::Count(std::uint32_t* count) {
    Page* root = nullptr;
    ZELRM_TRY(Node(Root(), &root));
    if (root->data()[kKind] == static_cast<std::uint8_t>(PageKind::kLeaf))
        *count = CountOf(root->data());
    else
        *count = SumCounts(root);
    return Status::kOk;
}

}  // namespace zelmor::engine
