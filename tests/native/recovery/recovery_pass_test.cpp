// The memory of the recovery passes: taken once before the split writes, refused as a value when it
// cannot be had, and used by the passes without taking more.
#include <gtest/gtest.h>

#include <random>

#include "recovery/gf16.h"
#include "recovery/par2_format.h"
#include "recovery/recovery_pass.h"

TEST(PassMemory, MoreThanTheProcessCanHaveIsRefusedAndWhatItReservesIsUsed) {
    PassMemory memory;
    EXPECT_FALSE(memory.Reserve(uint64_t{1} << 62, 1, 3));
    EXPECT_EQ(0u, memory.recovery.size());

    ASSERT_TRUE(memory.Reserve(1000, 2, 4));
    const uint8_t* reserved = memory.recovery.data();
    {
        RecoveryPass pass(memory, 1000, 2, 0, 4);
        EXPECT_EQ(reserved, pass.Recovery(0));
        pass.Finish();
    }
    EXPECT_EQ(reserved, memory.recovery.data());
}

TEST(RecoveryPass, AHooksFailureReachesTheThreadAddingSlices) {
    PassMemory memory;
    ASSERT_TRUE(memory.Reserve(64, 1, 1));
    SliceHooks hooks;
    hooks.inOrder = [](const SliceBatch&, uint64_t, size_t) { throw std::bad_alloc(); };
    RecoveryPass pass(memory, 64, 1, 0, 1, hooks);
    InputSlice slice{};
    slice.len = 64;
    // Thrown where the split can clean up, not in the pass's own thread, which would end the process.
    EXPECT_THROW(
        {
            for (int n = 0; n < 8; ++n)
                pass.Add(slice);
            pass.Finish();
        },
        std::bad_alloc);
}

TEST(RecoveryPass, BatchesSummedInPairsAndTheOddOneAloneGiveTheOraclesSlices) {
    // One slice a batch, seven of them: the sums take pairs, and the last batch alone when the pass ends.
    // The fourth was added at a wrong place first and is moved.
    constexpr size_t kSlice = 192;
    constexpr uint32_t kFirst = 2, kCount = 3;
    PassMemory memory;
    ASSERT_TRUE(memory.Reserve(kSlice, 1, kCount));
    std::mt19937 random(7);
    std::vector<std::vector<uint8_t>> data(7, std::vector<uint8_t>(kSlice));
    std::vector<std::vector<uint8_t>> expected(kCount, std::vector<uint8_t>(kSlice));
    RecoveryPass pass(memory, kSlice, 1, kFirst, kCount);
    for (uint32_t i = 0; i < data.size(); ++i) {
        for (uint8_t& b : data[i])
            b = static_cast<uint8_t>(random());
        InputSlice slice{};
        slice.input = i == 3 ? 9 : i;
        slice.len = i == 6 ? kSlice - 10 : kSlice; // the last is short: the pass zeroes the rest
        if (i == 3)
            slice.undo = 11;
        std::fill(data[i].begin() + slice.len, data[i].end(), 0);
        for (uint32_t r = 0; r < kCount; ++r) {
            uint16_t f = par2::InputFactor(slice.input, kFirst + r);
            if (i == 3)
                f ^= par2::InputFactor(11, kFirst + r);
            gf16::MulAddPortable(f, data[i].data(), expected[r].data(), kSlice);
        }
        std::copy(data[i].begin(), data[i].begin() + slice.len, pass.Slot());
        pass.Add(slice);
    }
    pass.Finish();
    for (uint32_t r = 0; r < kCount; ++r)
        EXPECT_EQ(expected[r], std::vector<uint8_t>(pass.Recovery(r), pass.Recovery(r) + kSlice)) << r;
}
