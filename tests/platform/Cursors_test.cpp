#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QTest>
#include <span>

#include "TestWindow.h"
#include "platform/Bitmap.h"
#include "platform/Cursors.h"
#include "platform/Resources.h"

TEST(Cursors, SetCursorAnswersTheSetCursorMessage) {
    THostedWindow w(100, 60);
    ASSERT_TRUE(w.Show());
    w.Window.SetClassCursor(LoadCursor(IDC_IBEAM));
    bool margin = false;
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg != WM_SETCURSOR || !margin) return false;
        SetCursor(MarginCursor());
        m.Result = 1;
        return true;
    };
    // Two moves: Qt drops a move to where the pointer already is.
    QTest::mouseMove(w.Client(), QPoint(49, 29));
    QTest::mouseMove(w.Client(), QPoint(50, 30));
    ProcessMessages();
    EXPECT_GE(w.Recorder.Count(WM_SETCURSOR), 1u);
    EXPECT_EQ(w.Client()->cursor().shape(), Qt::IBeamCursor) << "the default handling shows the class cursor";
    margin = true;
    QTest::mouseMove(w.Client(), QPoint(6, 31));
    QTest::mouseMove(w.Client(), QPoint(5, 30));
    ProcessMessages();
    EXPECT_EQ(w.Client()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(GetCursor(), MarginCursor());
    const QPixmap pix = w.Client()->cursor().pixmap();
    ASSERT_FALSE(pix.isNull());
    const QImage img = pix.toImage();
    EXPECT_GT(qAlpha(img.pixel(img.width() - 2, 3)), 0) << "the tip is at the top right";
    EXPECT_EQ(qAlpha(img.pixel(1, 3)), 0);
    EXPECT_EQ(w.Client()->cursor().hotSpot(), QPoint(31, 0));
}

TEST(Cursors, ScreenCursorIsSavedAndRestoredInPairs) {
    EXPECT_EQ(ScreenCursorDepth(), 0);
    {
        TScreenCursorScope wait(LoadCursor(IDC_WAIT));
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        PushScreenCursor(LoadCursor(IDC_ARROW));
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        PopScreenCursor();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    PopScreenCursor(); // one pop too many does nothing
    EXPECT_EQ(ScreenCursorDepth(), 0);
    EXPECT_EQ(LoadCursor(IDC_IBEAM), LoadCursor(IDC_IBEAM));
    EXPECT_EQ(LoadCursor(12345), LoadCursor(IDC_ARROW));
    TBitmap image(16, 16);
    HCURSOR custom = CreateCursorFromBitmap(image, nullptr, 3, 4);
    ASSERT_NE(custom, nullptr);
    DestroyCursor(custom);
    DestroyCursor(LoadCursor(IDC_ARROW)); // standard cursors are never freed
    EXPECT_NE(LoadCursor(IDC_ARROW), nullptr);
}

TEST(Cursors, CursorResourcesByNameAreOwnedByTheCaller) {
    HCURSOR line = LoadCursorFromResource("ZalLineCursor");
    ASSERT_NE(line, nullptr) << "the margin arrow, whatever the letter case";
    EXPECT_NE(line, MarginCursor()) << "a fresh cursor the caller destroys";
    EXPECT_EQ(LoadCursorFromResource("NO_SUCH_CURSOR"), nullptr);
    EXPECT_EQ(LoadCursorFromResource(nullptr), nullptr);

    QImage image(8, 6, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "PNG"));
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(png.constData()), size_t(png.size()));
    ASSERT_TRUE(RegisterResourceBlob(RT_CURSOR, "TEST_ARROW", bytes));
    HCURSOR custom = LoadCursorFromResource("test_arrow");
    ASSERT_NE(custom, nullptr);

    THostedWindow w(100, 60);
    ASSERT_TRUE(w.Show());
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg != WM_SETCURSOR) return false;
        SetCursor(line);
        m.Result = 1;
        return true;
    };
    QTest::mouseMove(w.Client(), QPoint(9, 9));
    QTest::mouseMove(w.Client(), QPoint(10, 10));
    ProcessMessages();
    EXPECT_EQ(w.Client()->cursor().hotSpot(), QPoint(31, 0));
    SetCursor(custom);
    EXPECT_EQ(w.Client()->cursor().pixmap().size(), QSize(8, 6));
    EXPECT_EQ(w.Client()->cursor().hotSpot(), QPoint(0, 0));
    w.Recorder.Hook = nullptr;
    SetCursor(nullptr);
    DestroyCursor(custom);
    DestroyCursor(line);
    EXPECT_TRUE(UnregisterResourceBlob(RT_CURSOR, "TEST_ARROW"));
}
