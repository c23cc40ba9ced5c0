// Full screen against a real window manager: F11, Esc and the double click
// on the tool bar, the bars hiding every 5 s and coming back at the edge.
#include "app/Application.h"
#include "integration/IntegrationSupport.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class FullScreenWithWindowManager : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    FakeEngine engine;
    QRect screen;

    void SetUp() override {
        CreateForms(&engine);
        ASSERT_TRUE(ShowMainForm());
        ASSERT_TRUE(WaitUntil([] { return Form1->windowHandle()->isExposed(); }));
        ProcessEventsFor(300ms); // let the window manager settle the frame
        screen = Form1->screen()->geometry();
    }
    void TearDown() override { DestroyForms(); }

    static bool barsVisible() {
        return Form1->ToolBar1->isVisible() && Form1->Rectangle3->isVisible();
    }
    bool coversScreen() const { return Form1->geometry() == screen; }
    bool full() const { return Form1->fScreen->isChecked() && coversScreen(); }
    static void doubleClickToolBar() {
        const QPoint p(400, 20); // between the two button groups
        QMouseEvent e(QEvent::MouseButtonDblClick, p, Form1->ToolBar1->mapToGlobal(p),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Form1->ToolBar1, &e);
    }
};

TEST_F(FullScreenWithWindowManager, F11EntersAndLeaves) {
    const QRect before = Form1->geometry();
    Form1->FormKeyDown(Qt::Key_F11);
    ASSERT_TRUE(WaitUntil([&] { return full(); })) << "the window manager gave full screen";
    EXPECT_TRUE(Form1->hide->isActive());

    Form1->FormKeyDown(Qt::Key_F11);
    ASSERT_TRUE(WaitUntil([&] { return Form1->geometry() == before; }));
    EXPECT_FALSE(Form1->fScreen->isChecked());
    EXPECT_FALSE(Form1->hide->isActive());
    EXPECT_EQ(Form1->borderStyle(), TForm1::BorderStyle::Sizeable);
    EXPECT_FALSE(Form1->windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(FullScreenWithWindowManager, DoubleClickAndEsc) {
    const QRect before = Form1->geometry();
    doubleClickToolBar();
    ASSERT_TRUE(WaitUntil([&] { return full(); }));
    doubleClickToolBar();
    ASSERT_TRUE(WaitUntil([&] { return Form1->geometry() == before; }));
    // A person does not switch back within milliseconds: let the window
    // manager finish the way back first.
    ASSERT_TRUE(WaitUntil([] { return Form1->windowHandle()->isExposed(); }));
    ProcessEventsFor(500ms);

    Form1->FormKeyDown(Qt::Key_F11);
    ASSERT_TRUE(WaitUntil([&] { return full(); }));
    Form1->FormKeyDown(Qt::Key_Escape);
    ASSERT_TRUE(WaitUntil([&] { return Form1->geometry() == before; }));
    EXPECT_FALSE(Form1->fScreen->isChecked());
    EXPECT_EQ(Form1->borderStyle(), TForm1::BorderStyle::Single);
    EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize()) << "the frame is fixed";
}

TEST_F(FullScreenWithWindowManager, BarsHideAfterFiveSecondsAndComeBackAtTheEdge) {
    QCursor::setPos(screen.center());
    Form1->FormKeyDown(Qt::Key_F11);
    ASSERT_TRUE(WaitUntil([&] { return full(); }));
    EXPECT_TRUE(barsVisible());
    ASSERT_TRUE(WaitUntil([] { return !barsVisible(); }, 7s)) << "hidden by the 5 s timer";
    EXPECT_FALSE(Form1->ToolBar1->isVisible() || Form1->Rectangle3->isVisible());

    // Over the video nothing comes back; at the screen's edge both bars do.
    QCursor::setPos(screen.center() + QPoint(10, 10));
    ProcessEventsFor(300ms);
    EXPECT_FALSE(barsVisible());
    QCursor::setPos(QPoint(screen.left(), screen.center().y()));
    ASSERT_TRUE(WaitUntil([] { return barsVisible(); }, 3s));
}

} // namespace
