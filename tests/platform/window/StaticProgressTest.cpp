#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/gfx/Brush.h"
#include "platform/window/ProgressControl.h"
#include "platform/window/StaticControl.h"
#include "tests/platform/window/FrameworkFixture.h"

namespace platform {
namespace {

constexpr gfx::Color kParentColor = gfx::Rgb(200, 30, 40);
constexpr gfx::Color kTextColor = gfx::Rgb(0, 0, 255);
constexpr Point kOrigin{50, 60};

// A parent that paints itself red and answers the static colour message
// with the brush of the test.
class PaintedParent : public WindowBase {
  public:
    const gfx::Brush* answer = nullptr;
    std::vector<Message> seen;

    VELA_DECLARE_MESSAGE_MAP();
    MessageResult OnErase(MessageParam wParam, MessageLong) {
        ContextFromParam(wParam)->FillRect(ClientRect(), kParentColor);
        return 1;
    }
    MessageResult OnCtlColorStatic(MessageParam wParam, MessageLong) {
        if (answer == nullptr) {
            return DefaultProcessing();
        }
        gfx::DeviceContext* dc = ContextFromParam(wParam);
        dc->SetTextColor(kTextColor);
        dc->SetBackgroundMode(gfx::BackgroundMode::kTransparent);
        return BrushResult(answer);
    }
    MessageResult OnCommand(MessageParam wParam, MessageLong lParam) {
        seen.push_back(Message{Handle(), kMsgCommand, wParam, lParam});
        return 0;
    }
    MessageResult OnLeftButtonDown(MessageParam wParam, MessageLong lParam) {
        seen.push_back(Message{Handle(), kMsgLeftButtonDown, wParam, lParam});
        return 0;
    }
};

VELA_MESSAGE_MAP(PaintedParent, WindowBase,
                 MapMessage(kMsgEraseBackground, &PaintedParent::OnErase),
                 MapMessage(kMsgCtlColorStatic, &PaintedParent::OnCtlColorStatic),
                 MapMessage(kMsgCommand, &PaintedParent::OnCommand),
                 MapMessage(kMsgLeftButtonDown, &PaintedParent::OnLeftButtonDown))

class StaticProgressTest : public testsupport::FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        ASSERT_TRUE(parent_.Create(testsupport::Creation(
            kStylePopup | kStyleVisible, 0, Rect::FromSize(kOrigin.x, kOrigin.y, 400, 200))));
    }
    void TearDown() override {
        parent_.DestroyWindow();
        FrameworkTest::TearDown();
    }
    gfx::Bitmap Surface() {
        testsupport::PumpFrameworkUntilIdle();
        std::optional<gfx::Bitmap> surface = display().Surface(parent_.Handle());
        EXPECT_TRUE(surface.has_value());
        return surface.value_or(gfx::Bitmap());
    }
    static int Count(const gfx::Bitmap& bitmap, const Rect& rect, gfx::Color color) {
        int n = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                n += bitmap.GetPixel(x, y) == color ? 1 : 0;
            }
        }
        return n;
    }

    PaintedParent parent_;
};

TEST_F(StaticProgressTest, StaticBackgroundComesFromTheParentsBrush) {
    const Rect rect = Rect::FromSize(20, 20, 200, 40);
    const Rect blank = Rect::FromSize(20, 50, 200, 10);  // below the first line of text
    StaticControl text;
    ASSERT_TRUE(text.Create(u"Hello there", kStyleVisible, rect, parent_.Handle(), 5));

    // No answer of the parent: the button face, black text.
    gfx::Bitmap surface = Surface();
    EXPECT_EQ(Count(surface, blank, gfx::kButtonFaceColor), blank.Width() * blank.Height());
    EXPECT_GT(Count(surface, rect, gfx::kButtonTextColor), 0);

    // A hollow brush: the parent's picture shows under the text.
    parent_.answer = gfx::Brush::HollowStock();
    text.Invalidate();
    surface = Surface();
    EXPECT_EQ(Count(surface, blank, kParentColor), blank.Width() * blank.Height());
    EXPECT_EQ(Count(surface, rect, gfx::kButtonFaceColor), 0);
    EXPECT_GT(Count(surface, rect, kTextColor), 0);

    // A pattern continues the top-level window's picture under the control.
    gfx::Bitmap pattern(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            pattern.SetPixel(
                x, y,
                gfx::Rgb(static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 40), 99));
        }
    }
    const gfx::Brush brush = gfx::Brush::Pattern(pattern);
    parent_.answer = &brush;
    text.Invalidate();
    surface = Surface();
    int matching = 0;
    for (int y = blank.top; y < blank.bottom; ++y) {
        for (int x = blank.left; x < blank.right; ++x) {
            matching += surface.GetPixel(x, y) == pattern.GetPixel(x % 7, y % 5) ? 1 : 0;
        }
    }
    EXPECT_EQ(matching, blank.Width() * blank.Height());
}

TEST_F(StaticProgressTest, OnlyANotifyingStaticTakesClicks) {
    for (bool notify : {false, true}) {
        parent_.seen.clear();
        StaticControl text;
        ASSERT_TRUE(text.Create(u"Click", kStyleVisible | (notify ? kStaticNotify : 0),
                                Rect::FromSize(10, 10, 100, 20), parent_.Handle(), 6));
        display().Click(Point{kOrigin.x + 20, kOrigin.y + 15});
        testsupport::PumpFrameworkUntilIdle();
        ASSERT_EQ(parent_.seen.size(), 1u) << "notify " << notify;
        if (notify) {
            EXPECT_EQ(parent_.seen[0].message, kMsgCommand);
            EXPECT_EQ(parent_.seen[0].wParam, MakeCommandParam(6, kStaticClicked));
        } else {
            // Passed through to the parent, at the parent's point.
            EXPECT_EQ(parent_.seen[0].message, kMsgLeftButtonDown);
            EXPECT_EQ(parent_.seen[0].lParam, PackPoint(20, 15));
        }
    }
}

TEST_F(StaticProgressTest, ProgressClampsIntoItsRange) {
    ProgressControl bar;
    ASSERT_TRUE(bar.Create(kStyleVisible | kProgressSmooth, Rect::FromSize(10, 100, 202, 12),
                           parent_.Handle(), 11000));
    struct Step {
        std::function<MessageResult(ProgressControl&)> act;
        MessageResult result;  // of the act
        int pos, lower, upper;
    };
    const auto set_pos = [](int pos) {
        return [pos](ProgressControl& b) { return static_cast<MessageResult>(b.SetPos(pos)); };
    };
    const auto set_range32 = [](int lower, int upper) {
        return [lower, upper](ProgressControl& b) {
            b.SetRange(lower, upper);
            return MessageResult{0};
        };
    };
    const Step steps[] = {
        {set_pos(50), 0, 50, 0, 100},  // returns the previous position
        {set_pos(150), 50, 100, 0, 100},
        {set_pos(-5), 100, 0, 0, 100},
        {set_pos(80), 0, 80, 0, 100},
        {set_range32(0, 50), 0, 50, 0, 50},  // a narrower range pulls the position in
        {set_range32(-50, 50), 0, 50, -50, 50},
        {set_pos(-70), 50, -50, -50, 50},
        {set_range32(100, 0), 0, 0, 0, 100},  // stored in order
        {set_range32(0, 0), 0, 0, 0, 0},
        {set_pos(30), 0, 0, 0, 0},
        // The 16-bit message: unsigned halves, the previous range back.
        {[](ProgressControl& b) { return b.Send(kMsgProgressSetRange, 0, PackPoint(10, 60000)); },
         0, 10, 10, 60000},
        {[](ProgressControl& b) { return b.Send(kMsgProgressSetRange, 0, PackPoint(0, 100)); },
         PackPoint(10, 60000), 10, 0, 100},
    };
    int index = 0;
    for (const Step& step : steps) {
        EXPECT_EQ(step.act(bar), step.result) << "step " << index;
        EXPECT_EQ(bar.GetPos(), step.pos) << "step " << index;
        EXPECT_EQ(bar.Lower(), step.lower) << "step " << index;
        EXPECT_EQ(bar.Upper(), step.upper) << "step " << index;
        ++index;
    }
}

TEST_F(StaticProgressTest, ProgressPaintsItsFilledPart) {
    ProgressControl bar;
    // 202 wide: 200 pixels inside the one-pixel sunken border.
    const Rect rect = Rect::FromSize(10, 100, 202, 12);
    ASSERT_TRUE(bar.Create(kStyleVisible | kProgressSmooth, rect, parent_.Handle(), 11000));
    bar.SetRange(0, 200);
    bar.SetPos(50);
    gfx::Bitmap surface = Surface();
    const Rect inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    EXPECT_EQ(Count(surface, inner, gfx::kHighlightColor), 50 * inner.Height());
    EXPECT_EQ(surface.GetPixel(inner.left + 49, inner.top + 3), gfx::kHighlightColor);
    EXPECT_NE(surface.GetPixel(inner.left + 50, inner.top + 3), gfx::kHighlightColor);

    bar.SetPos(200);
    surface = Surface();
    EXPECT_EQ(Count(surface, inner, gfx::kHighlightColor), inner.Width() * inner.Height());
}

}  // namespace
}  // namespace platform
