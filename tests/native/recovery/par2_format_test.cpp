#include <gtest/gtest.h>

#include <cstring>

#include "recovery/par2_format.h"
#include "recovery/recovery_pass.h"
#include "recovery/recovery_plan.h"

TEST(Md5, KnownAnswers) {
    const Md5Digest abc = Md5Of("abc", 3);
    const uint8_t want[16] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                              0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
    EXPECT_EQ(0, std::memcmp(abc.data(), want, 16));
    Md5 twice; // Final starts again empty
    twice.Update("x", 1);
    twice.Final();
    twice.Update("abc", 3);
    EXPECT_EQ(twice.Final(), abc);
}

TEST(Par2Format, InputExponentsSkipMultiplesOf3And5And17And257) {
    const uint16_t first[] = {1, 2, 4, 7, 8, 11, 13, 14, 16, 19};
    for (uint32_t i = 0; i < 10; ++i)
        EXPECT_EQ(par2::InputExponent(i), first[i]);
    EXPECT_EQ(par2::InputExponent(par2::kMaxInputSlices - 1), 65534);
}

TEST(Par2Format, FileIdsSortAsLittleEndianNumbers) {
    par2::Id low{}, high{};
    low[0] = 0xFF;   // least significant byte
    high[15] = 0x01; // most significant byte
    EXPECT_TRUE(par2::FileIdLess(low, high));
    EXPECT_FALSE(par2::FileIdLess(high, low));
}

TEST(Par2Format, PacketRoundTripAndDamage) {
    par2::Id set{};
    set[3] = 9;
    auto packet = par2::BuildPacket(set, par2::kCreatorType, {'F', 'e', 'n'});
    ASSERT_EQ(packet.size(), 68u); // body padded to 4
    par2::PacketHeader h;
    ASSERT_TRUE(par2::ReadHeader(packet.data(), h));
    EXPECT_EQ(h.length, 68u);
    EXPECT_TRUE(par2::SameBytes(h.setId, set.data(), 16));
    EXPECT_EQ(h.kind, par2::PacketType::Creator);
    EXPECT_TRUE(par2::PacketIntact(packet.data(), h.length));
    packet[66] ^= 1;
    EXPECT_FALSE(par2::PacketIntact(packet.data(), h.length));
}

// 16 recovery slices of 8 MiB in volumes of 7: with room for exactly 16 beside the batches they are made in
// one pass, although the last volume is not full (a second pass would read every piece again).
TEST(RecoveryPlan, AllRecoverySlicesThatFitTakeOnePass) {
    const auto planned = PlanRecovery(16, 64ull << 20, false, 2, 224ull << 20);
    const RecoveryPlan& plan = std::get<RecoveryPlan>(planned);
    EXPECT_EQ(plan.sliceSize, 8ull << 20);
    EXPECT_EQ(plan.slicesPerVolume, 7u);
    EXPECT_EQ(plan.recoverySlices, 16u);
    EXPECT_EQ(plan.slicesPerPass, 16u);
}

// Batches take what the recovery slices leave, so the sums go over many inputs per trip through the
// recovery slices, and the whole stays within the memory allowed.
TEST(RecoveryPlan, BatchesGrowIntoTheMemoryTheRecoverySlicesLeave) {
    const uint64_t cap = kDefaultRecoveryMemory;
    const RecoveryPlan plan = std::get<RecoveryPlan>(PlanRecovery(737, 1457664, false, 74, cap));
    EXPECT_EQ(plan.slicesPerPass, plan.recoverySlices);
    EXPECT_GT(plan.batchSlices, 32u);
    EXPECT_LE((uint64_t{kPassBatches} * plan.batchSlices + plan.recoverySlices) * plan.sliceSize, cap);
}
