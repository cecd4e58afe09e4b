// The option menu in pop-up windows of a real X server, driven with XTest
// from a connection of the test's own, as a user would: the frame's idle
// calls read the menu's events, as the host's idle calls do. Needs DISPLAY
// (./test.sh runs these under scripts/with-xvfb.sh).
// Google Test first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui/toolkit/controls/buttons.h"
#include "gui/toolkit/frame.h"
#include "gui/toolkit/option_menu.h"

namespace tarvik::gui {
namespace {

using Path = std::vector<int>;

constexpr int kAlpha = 0;
constexpr int kGamma = 2;
constexpr int kBank = 3;  // opens a sub-menu
constexpr int kTwo = 1;   // in the sub-menu

constexpr Point kParentAt{120, 90};  // the host's window on the screen
constexpr int kWidth = 320;
constexpr int kHeight = 200;

MenuModel sample() {
    MenuModel bank;
    bank.add("One");
    bank.addSeparator();
    bank.add("Two");
    MenuModel menu;
    menu.add("Alpha");
    menu.addSeparator();
    menu.add("Beta", false);
    menu.add("Gamma\tG");
    menu.addSubmenu("Bank", std::move(bank));
    return menu;
}

// A virtual X server refuses a connection now and then while it is busy
// (EAGAIN): a connection is tried a few times.
template <typename Open>
auto retried(Open&& open) {
    auto result = open();
    for (int tries = 1; !result && tries < 20; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        result = open();
    }
    return result;
}

// Hears the button the menu is popped up from.
class Opener : public ControlListener {
public:
    void valueChanged(Control& control) override {
        if (control.value() > 0.5f && onPress) onPress();
    }
    std::function<void()> onPress;
};

class MenuWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) GTEST_SKIP() << "needs an X server (DISPLAY)";
        driver_ = retried([] { return XOpenDisplay(nullptr); });
        ASSERT_NE(driver_, nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(driver_, &event, &error, &major, &minor));
        parent_ = XCreateSimpleWindow(driver_, DefaultRootWindow(driver_), kParentAt.x, kParentAt.y, kWidth, kHeight,
                                      0, 0, 0);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;  // placed where asked, whatever window manager runs
        XChangeWindowAttributes(driver_, parent_, CWOverrideRedirect, &attributes);
        XMapRaised(driver_, parent_);
        XSync(driver_, False);

        frame_ = std::make_unique<Frame>(Rect::sized(0, 0, kWidth, kHeight));
        button_ = &frame_->add(std::make_unique<KickButton>(Rect::sized(10, 10, 60, 20), &opener_, 1));
        void* const parent = reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent_));
        ASSERT_TRUE(retried([&] { return frame_->open(parent); }));
        menu_ = std::make_unique<OptionMenu>(*frame_);
        moveTo({kWidth / 2, kHeight - 5});
        pump();
    }

    void TearDown() override {
        menu_.reset();
        frame_.reset();
        if (driver_) {
            if (parent_) XDestroyWindow(driver_, parent_);
            XCloseDisplay(driver_);
        }
    }

    void popUp(Point where, const MenuModel& model = sample()) {
        menu_->popUp(model, where, [this](const MenuChoice& choice) { answers_.push_back(choice.path); });
        pump();
    }

    // Idle calls, as a host makes them, for a while or until `done`.
    void pump(std::function<bool()> done = nullptr, std::chrono::milliseconds time = std::chrono::milliseconds(60)) {
        const auto end = std::chrono::steady_clock::now() + (done ? std::chrono::milliseconds(2000) : time);
        do {
            frame_->idle();
            if (done && done()) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } while (std::chrono::steady_clock::now() < end);
    }

    Point onScreen(Point framePoint) const { return {framePoint.x + kParentAt.x, framePoint.y + kParentAt.y}; }
    Point entry(int level, int index) const { return menu_->entryRect(level, index).centre(); }

    void moveTo(Point framePoint) {
        const Point p = onScreen(framePoint);
        XTestFakeMotionEvent(driver_, DefaultScreen(driver_), p.x, p.y, CurrentTime);
        XSync(driver_, False);
        pump();
    }
    void button(bool down) {
        XTestFakeButtonEvent(driver_, Button1, down ? True : False, CurrentTime);
        XSync(driver_, False);
        pump();
    }
    void click(Point framePoint) {
        moveTo(framePoint);
        button(true);
        button(false);
    }
    void tap(KeySym key) {
        const KeyCode code = XKeysymToKeycode(driver_, key);
        XTestFakeKeyEvent(driver_, code, True, CurrentTime);
        XTestFakeKeyEvent(driver_, code, False, CurrentTime);
        XSync(driver_, False);
        pump();
    }

    // Whether another client could take the pointer: no grab left behind.
    bool pointerFree() {
        const int result = XGrabPointer(driver_, DefaultRootWindow(driver_), False, ButtonPressMask, GrabModeAsync,
                                        GrabModeAsync, None, None, CurrentTime);
        XUngrabPointer(driver_, CurrentTime);
        XSync(driver_, False);
        return result == GrabSuccess;
    }

    // The screen's pixel at a frame point, as 0xRRGGBB.
    unsigned long pixelAt(Point framePoint) {
        const Point p = onScreen(framePoint);
        XImage* image = XGetImage(driver_, DefaultRootWindow(driver_), p.x, p.y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0;
        const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return pixel;
    }

    Display* driver_ = nullptr;
    Window parent_ = 0;
    Opener opener_;
    std::unique_ptr<Frame> frame_;
    KickButton* button_ = nullptr;
    std::unique_ptr<OptionMenu> menu_;
    std::vector<Path> answers_;
};

TEST_F(MenuWindowTest, AClickChoosesTheEntryUnderThePointer) {
    popUp({20, 30});
    ASSERT_TRUE(menu_->isOpen());
    click(entry(0, kGamma));
    EXPECT_EQ(answers_, (std::vector<Path>{{kGamma}}));
    EXPECT_FALSE(menu_->isOpen());
    EXPECT_TRUE(pointerFree());
}

TEST_F(MenuWindowTest, DownAndReturnChooseTheFirstEntry) {
    popUp({20, 30});
    tap(XK_Down);
    tap(XK_Return);
    EXPECT_EQ(answers_, (std::vector<Path>{{kAlpha}}));
    EXPECT_TRUE(pointerFree());
}

TEST_F(MenuWindowTest, TheSubmenuOpensUnderThePointerAndItsEntryAnswersItsPath) {
    popUp({20, 30});
    moveTo(entry(0, kBank));
    pump([&] { return menu_->openLevels() == 2; });
    ASSERT_EQ(menu_->openLevels(), 2) << "resting on the entry opens its sub-menu";
    moveTo(entry(1, kTwo));
    click(entry(1, kTwo));
    EXPECT_EQ(answers_, (std::vector<Path>{{kBank, kTwo}}));
}

TEST_F(MenuWindowTest, AClickOutsideClosesWithoutAnAnswerAndLetsGoOfThePointer) {
    popUp({20, 30});
    EXPECT_FALSE(pointerFree()) << "the open menu holds the pointer";
    click({kWidth + 300, kHeight + 200});
    EXPECT_FALSE(menu_->isOpen());
    EXPECT_TRUE(answers_.empty());
    EXPECT_TRUE(pointerFree());
}

TEST_F(MenuWindowTest, EscapeClosesWithoutAnAnswer) {
    popUp({20, 30});
    tap(XK_Escape);
    EXPECT_FALSE(menu_->isOpen());
    EXPECT_TRUE(answers_.empty());
    EXPECT_TRUE(pointerFree());
}

TEST_F(MenuWindowTest, ClosingTheEditorWithTheMenuOpenLetsGoOfThePointer) {
    popUp({20, 30});
    ASSERT_TRUE(menu_->isOpen());
    frame_->close();
    EXPECT_FALSE(menu_->isOpen());
    EXPECT_TRUE(pointerFree());
}

TEST_F(MenuWindowTest, TheHostDestroyingItsWindowEndsTheMenuAndItsGrab) {
    popUp({20, 30});
    ASSERT_TRUE(menu_->isOpen());
    XDestroyWindow(driver_, parent_);
    parent_ = 0;
    XSync(driver_, False);
    pump([&] { return !menu_->isOpen(); });
    EXPECT_FALSE(menu_->isOpen());
    EXPECT_TRUE(pointerFree()) << "before the host closes the editor";
    EXPECT_TRUE(answers_.empty());
}

TEST_F(MenuWindowTest, ALongMenuReachesBeyondTheEditorsWindow) {
    MenuModel tall;
    for (int i = 0; i < 30; ++i) tall.add("Patch " + std::to_string(i));
    popUp({20, 30}, tall);
    const Rect last = menu_->entryRect(0, 29);
    ASSERT_FALSE(last.empty()) << "the screen has room for every entry";
    EXPECT_GT(last.top, kHeight) << "below the editor's window";
    click(last.centre());
    EXPECT_EQ(answers_, (std::vector<Path>{{29}}));
}

TEST_F(MenuWindowTest, TheMenuIsPaintedOnTheScreen) {
    popUp({20, 30});
    const Rect alpha = menu_->entryRect(0, kAlpha);
    const Point margin{alpha.left + 4, alpha.centre().y};  // left of the text
    unsigned long pixel = 0;
    pump([&] {
        pixel = pixelAt(margin);
        return pixel != 0;
    });
    const unsigned long sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
    EXPECT_GT(sum, 0u) << "painted";
    EXPECT_LT(sum, 3u * 80u) << "a dark panel";
}

// The editor pops its menus up as the button is pressed: the release that
// follows is the button's, wherever it happens, and chooses nothing.
TEST_F(MenuWindowTest, ThePressThatOpensTheMenuEndsAtTheButton) {
    opener_.onPress = [&] {
        menu_->popUp(sample(), {10, 12}, [this](const MenuChoice& choice) { answers_.push_back(choice.path); });
    };
    moveTo({20, 15});
    button(true);
    ASSERT_TRUE(menu_->isOpen());
    EXPECT_FLOAT_EQ(button_->value(), 1.0f);
    button(false);
    EXPECT_FLOAT_EQ(button_->value(), 0.0f) << "the button heard its release";
    EXPECT_TRUE(answers_.empty()) << "the release over the menu chose nothing";
    ASSERT_TRUE(menu_->isOpen());
    click(entry(0, kGamma));
    EXPECT_EQ(answers_, (std::vector<Path>{{kGamma}}));
}

}  // namespace
}  // namespace tarvik::gui
