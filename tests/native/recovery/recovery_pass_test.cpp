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
