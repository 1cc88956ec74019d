// SPDX-License-Identifier: GPL-3.0-or-later
// Lost and held-back replies through the real serial code on a pseudo-terminal.
#include <gtest/gtest.h>

#include "sim_pty_link.h"

namespace {

class PtyLinkTest : public ::testing::Test {
  protected:
    PtyLinkTest() {
        link.device().setReadTimeouts({30, 1, 5});
        if (!link.connect()) {
            ADD_FAILURE() << "the simulated controller does not answer";
        }
        link.sim().clearRequests();
    }

    CSimPtyLink link;
};

TEST_F(PtyLinkTest, TwoLostRepliesAreAnsweredOnTheThirdAttempt) {
    link.sim().faults().dropNext(2);
    ASSERT_TRUE(link.device().readSetup());
    EXPECT_EQ(link.sim().requestCount(), 3u);
}

TEST_F(PtyLinkTest, HeldBackRepliesAnswerNoLaterRequest) {
    // The first block's answer comes twice, once late; the second copy must not pass
    // for the next block.
    link.sim().faults().staleNext(1);
    std::array<std::uint8_t, 64> image{};
    ASSERT_TRUE(link.device().readEeprom(image.data(), 0, image.size()));
    const auto eeprom = link.sim().eeprom();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), eeprom.begin()));

    // An acknowledgement left over from a command must not acknowledge a lost write.
    link.sim().faults().staleNext(1);
    ASSERT_TRUE(link.device().clearErrors());
    link.sim().faults().dropNext(10);
    EXPECT_FALSE(link.device().writeEepromBlock(eeprom_block_t{}));
}

}  // namespace
