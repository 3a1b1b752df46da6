// The network solver's own allocation of big blocks, linked into this test
// as into the program: blocks freed in any order keep the others intact, and
// freed room is used again.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kBig = std::size_t{1} << 20;

// A block of n bytes filled with a pattern of its own.
struct Block {
  std::unique_ptr<std::uint8_t[]> data;
  std::size_t size;
  std::uint8_t seed;
  Block(std::size_t n, std::uint8_t s) : data(new std::uint8_t[n]), size(n), seed(s) {
    for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 7);
  }
  bool intact() const {
    for (std::size_t i = 0; i < size; ++i)
      if (data[i] != static_cast<std::uint8_t>(seed + i * 7)) return false;
    return true;
  }
};

TEST(OptimerBigBlocks, BlocksFreedInAnyOrderLeaveTheOthersIntact) {
  std::mt19937 random(7);
  std::vector<std::unique_ptr<Block>> live;
  // Sizes across the line between small and big blocks, and past several
  // large pages; frees from the top, from the bottom and from the middle.
  for (int round = 0; round < 400; ++round) {
    const auto pick = random() % 10;
    if (pick < 6 || live.empty()) {
      const std::size_t sizes[] = {100, 64 * 1024 - 1, 64 * 1024, 300 * 1024, 3 * kBig, 5 * kBig + 17};
      live.push_back(std::make_unique<Block>(sizes[random() % 6], static_cast<std::uint8_t>(round)));
    } else {
      const std::size_t at = pick == 6 ? live.size() - 1 : pick == 7 ? 0 : random() % live.size();
      ASSERT_TRUE(live[at]->intact()) << "round " << round;
      live.erase(live.begin() + static_cast<std::ptrdiff_t>(at));
    }
  }
  for (const auto& b : live) EXPECT_TRUE(b->intact());
}

TEST(OptimerBigBlocks, FreedRoomIsUsedAgain) {
  auto* kept = new std::uint8_t[kBig];
  auto* a = new std::uint8_t[kBig];
  auto* b = new std::uint8_t[2 * kBig];
  // Room freed below a live block is taken by the next block that fits.
  delete[] a;
  auto* d = new std::uint8_t[kBig / 2];
  EXPECT_EQ(d, a);
  // Freed below the live block, then the live block: the rooms come back as one.
  delete[] d;
  delete[] b;
  auto* c = new std::uint8_t[3 * kBig];
  EXPECT_EQ(c, a);
  delete[] c;
  delete[] kept;
}

}  // namespace
