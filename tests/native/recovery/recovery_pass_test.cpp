// The memory of the recovery passes: taken once before the split writes, refused as a value when it
// cannot be had, and used by the passes without taking more.
#include <gtest/gtest.h>

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
