// Every big block the solver asks for (the problem text, the node and link
// arrays, the ordering's and the factor's arrays, the answer text) comes from
// one region kept in 2 MiB pages. A network of a hundred thousand nodes
// otherwise touches some fifteen thousand fresh 4 KiB pages, and on a
// virtual machine each first touch can cost tens of microseconds: more than
// the parse and the solve together. In 2 MiB pages it is one touch per
// 2 MiB. Linked into the program (and its benchmark and test), not into the
// solver's library, so that whoever links the library keeps the ordinary
// allocation. The program runs one thread.
//
// The blocks are laid one after another, each after a small header. A freed
// block joins its free neighbours, freed room is taken again (first fit,
// from the end), and free room at the end goes back to the region; memory
// once touched stays with the program, which soon uses it again.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Smaller blocks stay with the ordinary allocator: they are many and short.
constexpr std::size_t kBigBlock = std::size_t{64} << 10;
// Address room taken at a time; only what is touched costs memory.
constexpr std::size_t kRegionRoom = std::size_t{1} << 30;
constexpr std::size_t kAlign = 64;

struct Header {
  Header* below;  // the block laid just before, nullptr for the first
  std::size_t room;  // bytes from this header to the next one
  bool free;
};
constexpr std::size_t kHeaderRoom = (sizeof(Header) + kAlign - 1) & ~(kAlign - 1);

struct Region {
  void* mapping = nullptr;  // as mapped, before the alignment
  std::size_t mapped = 0;
  char* base = nullptr;
  std::size_t length = 0;
  char* end = nullptr;     // where the next block goes
  Header* last = nullptr;  // the block just below end
  bool holds(const void* p) const {
    return base != nullptr && static_cast<const char*>(p) >= base && static_cast<const char*>(p) < base + length;
  }
};

Region region;
bool region_failed = false;

bool open_region(std::size_t at_least) {
  const std::size_t length = at_least > kRegionRoom ? (at_least + kLargePage - 1) & ~(kLargePage - 1) : kRegionRoom;
  // Room for aligning the start on a large page.
  void* p = ::mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                   -1, 0);
  if (p == MAP_FAILED) return false;
  char* base = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(p) + kLargePage - 1) & ~(kLargePage - 1));
  ::madvise(base, length, MADV_HUGEPAGE);  // only advice: without large pages it still works
  region = Region{p, length + kLargePage, base, length, base, nullptr};
  return true;
}

// The block laid just after h, nullptr for the last.
Header* above(Header* h) {
  char* next = reinterpret_cast<char*>(h) + h->room;
  return next < region.end ? reinterpret_cast<Header*>(next) : nullptr;
}

// Makes h's room part of the block below it.
void merge_into_below(Header* h) {
  Header* below = h->below;
  below->room += h->room;
  if (Header* next = above(below)) next->below = below;
  else region.last = below;
}

// Takes `room` bytes of the free block h; a rest big enough for a block of
// its own stays free.
void* take(Header* h, std::size_t room) {
  h->free = false;
  if (h->room - room >= kHeaderRoom + kBigBlock) {
    auto* rest = reinterpret_cast<Header*>(reinterpret_cast<char*>(h) + room);
    *rest = Header{h, h->room - room, true};
    h->room = room;
    if (Header* next = above(rest)) next->below = rest;
    else region.last = rest;
  }
  return reinterpret_cast<char*>(h) + kHeaderRoom;
}

void* big_block(std::size_t size) {
  if (size > (std::size_t{1} << 48)) return nullptr;
  const std::size_t room = kHeaderRoom + ((size + kAlign - 1) & ~(kAlign - 1));
  // Freed room first, the latest laid first: the solver's arrays are few,
  // so the walk is short.
  for (Header* h = region.last; h != nullptr; h = h->below)
    if (h->free && h->room >= room) return take(h, room);
  if (region.base == nullptr || static_cast<std::size_t>(region.base + region.length - region.end) < room) {
    // A region that is full stays as it is while its blocks live on, and
    // the ordinary allocator takes over; an empty one makes way for a
    // larger one. A region the machine refuses leaves big blocks to the
    // ordinary allocator for good.
    if (region.base != nullptr) {
      if (region.last != nullptr) return nullptr;
      ::munmap(region.mapping, region.mapped);
      region = Region{};
    }
    if (region_failed || !open_region(room)) {
      region_failed = true;
      return nullptr;
    }
  }
  auto* h = reinterpret_cast<Header*>(region.end);
  *h = Header{region.last, room, false};
  region.last = h;
  region.end += room;
  return reinterpret_cast<char*>(h) + kHeaderRoom;
}

void release(void* p) {
  auto* h = reinterpret_cast<Header*>(static_cast<char*>(p) - kHeaderRoom);
  h->free = true;
  // Freed neighbours are one block, so that no two free blocks lie side by
  // side; a free block at the end gives its room back to the region.
  if (Header* next = above(h); next != nullptr && next->free) merge_into_below(next);
  if (h->below != nullptr && h->below->free) {
    Header* below = h->below;
    merge_into_below(h);
    h = below;
  }
  if (h == region.last) {
    region.end = reinterpret_cast<char*>(h);
    region.last = h->below;
  }
}

void* allocate(std::size_t size) {
  if (size >= kBigBlock) {
    if (void* p = big_block(size)) return p;
  }
  return std::malloc(size == 0 ? 1 : size);
}

void deallocate(void* p) {
  if (region.holds(p)) release(p);
  else std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }

void operator delete(void* p) noexcept { deallocate(p); }
void operator delete[](void* p) noexcept { deallocate(p); }
void operator delete(void* p, std::size_t) noexcept { deallocate(p); }
void operator delete[](void* p, std::size_t) noexcept { deallocate(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { deallocate(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { deallocate(p); }
