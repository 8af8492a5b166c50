#include <gtest/gtest.h>

#include "TestWindow.h"
#include "platform/Window.h"

namespace {
constexpr UINT kFirst = WM_USER + 1, kSecond = WM_USER + 2, kThird = WM_USER + 3;
} // namespace

TEST(Messages, PostedMessagesArriveAfterTheCurrentOneInOrder) {
    THostedWindow w;
    std::vector<UINT> order;
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg < WM_USER) return false;
        order.push_back(m.Msg);
        if (m.Msg == kFirst) {
            PostMessage(w.Handle(), kThird, 3, 30);
            order.push_back(0); // still inside the first message
        }
        return true;
    };
    ASSERT_TRUE(PostMessage(w.Handle(), kFirst, 1, 10));
    ASSERT_TRUE(PostMessage(w.Handle(), kSecond, 2, 20));
    EXPECT_TRUE(order.empty()) << "posting must not handle the message at once";
    ProcessMessages();
    ProcessMessages();
    EXPECT_EQ(order, (std::vector<UINT>{kFirst, 0, kSecond, kThird}));
    auto seconds = w.Recorder.Of(kSecond);
    ASSERT_EQ(seconds.size(), 1u);
    EXPECT_EQ(seconds[0].WParam, 2u);
    EXPECT_EQ(seconds[0].LParam, 20);
}

TEST(Messages, WaitingHandlesWhatArrivesAndEndsWithTheTimeWhenNothingDoes) {
    THostedWindow w;
    ProcessMessages();
    WaitForMessages(1); // nothing pending: the time ends it
    ASSERT_TRUE(PostMessage(w.Handle(), kFirst));
    // A wait far longer than the test should take: the message must end it.
    for (int i = 0; i < 10 && w.Recorder.Count(kFirst) == 0; ++i) WaitForMessages(60'000);
    EXPECT_EQ(w.Recorder.Count(kFirst), 1u);
}

TEST(Messages, SendMessageIsHandledAtOnceAndReturnsTheResult) {
    THostedWindow w;
    w.Recorder.Hook = [](TMessage& m) {
        if (m.Msg != kFirst) return false;
        m.Result = LRESULT(m.WParam * 2);
        return true;
    };
    EXPECT_EQ(SendMessage(w.Handle(), kFirst, 21), 42);
    EXPECT_EQ(SendMessage(nullptr, kFirst, 21), 0);
}

TEST(Messages, MessagesToAWindowThatIsGoneAreDropped) {
    THostedWindow w;
    HWND h = w.Handle();
    ASSERT_TRUE(PostMessage(h, kFirst));
    w.Window.DestroyHandle();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(PostMessage(h, kSecond));
    ProcessMessages();
    EXPECT_EQ(w.Recorder.Count(kFirst), 0u);
    EXPECT_EQ(w.Recorder.Count(WM_DESTROY), 1u);
}

TEST(Messages, DefaultHandling) {
    THostedWindow w;
    TMessage activate{WM_MOUSEACTIVATE, 0, 0, 0};
    DefWindowProc(w.Handle(), activate);
    EXPECT_EQ(activate.Result, MA_ACTIVATE);
    TMessage code{WM_GETDLGCODE, 0, 0, 0};
    DefWindowProc(w.Handle(), code);
    EXPECT_EQ(code.Result, 0);
}
