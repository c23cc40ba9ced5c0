#include "app/Application.h"
#include "playback/PlayerState.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class FullScreen : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    FakeEngine engine;
    void SetUp() override {
        CreateForms(&engine);
        ASSERT_TRUE(ShowMainForm());
    }
    void TearDown() override { DestroyForms(); }

    static bool barsVisible() {
        EXPECT_EQ(Form1->ToolBar1->isVisible(), Form1->Rectangle3->isVisible());
        return Form1->ToolBar1->isVisible();
    }
    static bool isFull() {
        const bool on = Form1->fScreen->isChecked();
        EXPECT_EQ(on, Form1->state().fullScreen());
        EXPECT_EQ(on, Form1->hide->isActive());
        EXPECT_EQ(on, Form1->fullScreenSwitch());
        return on;
    }
    static void move(QPoint pos) {
        QMouseEvent e(QEvent::MouseMove, pos, Form1->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(Form1, &e);
    }
};

TEST_F(FullScreen, F11EntersAndLeaves) {
    const QRect before = Form1->geometry();
    Form1->FormKeyDown(Qt::Key_F11);
    EXPECT_TRUE(isFull());
    EXPECT_TRUE(Form1->windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(Form1->borderStyle(), TForm1::BorderStyle::None);

    Form1->hideTimer();
    EXPECT_FALSE(barsVisible());
    Form1->FormKeyDown(Qt::Key_F11);
    EXPECT_FALSE(isFull());
    EXPECT_TRUE(barsVisible());
    EXPECT_TRUE(Form1->windowStateNormal());
    EXPECT_EQ(Form1->borderStyle(), TForm1::BorderStyle::Sizeable);
    EXPECT_EQ(Form1->geometry(), before);
}

TEST_F(FullScreen, F11LooksAtTheWindowState) {
    Form1->showMaximized();
    ASSERT_FALSE(Form1->windowStateNormal());
    Form1->FormKeyDown(Qt::Key_F11); // a maximized window counts as full screen
    EXPECT_FALSE(isFull());
    EXPECT_TRUE(Form1->windowStateNormal());
    Form1->FormKeyDown(Qt::Key_F11);
    EXPECT_TRUE(isFull());
}

TEST_F(FullScreen, DoubleClickOnTheToolBarFollowsTheSwitch) {
    Form1->showMaximized();
    Form1->ToolBar1DblClick();
    EXPECT_TRUE(isFull());
    Form1->ToolBar1DblClick();
    EXPECT_FALSE(isFull());
    EXPECT_EQ(Form1->borderStyle(), TForm1::BorderStyle::Sizeable);
}

TEST_F(FullScreen, EscAlwaysLeavesToAFixedFrame) {
    Form1->FormKeyDown(Qt::Key_F11);
    Form1->hideTimer();
    Form1->FormKeyDown(Qt::Key_Escape);
    EXPECT_FALSE(isFull());
    EXPECT_TRUE(barsVisible());
    EXPECT_EQ(Form1->borderStyle(), TForm1::BorderStyle::Single);
    EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize()) << "the user can no longer resize";

    // In the framed window too; F11 twice brings the sizeable frame back.
    Form1->FormKeyDown(Qt::Key_Escape);
    EXPECT_EQ(Form1->borderStyle(), TForm1::BorderStyle::Single);
    Form1->FormKeyDown(Qt::Key_F11);
    Form1->FormKeyDown(Qt::Key_F11);
    EXPECT_EQ(Form1->borderStyle(), TForm1::BorderStyle::Sizeable);
    EXPECT_EQ(Form1->minimumSize(), QSize(817, 366));
}

TEST_F(FullScreen, BarsComeBackOnlyOverTheEdgeBand) {
    Form1->FormKeyDown(Qt::Key_F11);
    Form1->hideTimer();
    move(Form1->rect().center()); // over the video
    EXPECT_FALSE(barsVisible());
    move(QPoint(1, Form1->height() / 2)); // the 2-pixel band
    EXPECT_TRUE(barsVisible());
    EXPECT_TRUE(Form1->hide->isActive()) << "a move does not restart the timer";
}

TEST_F(FullScreen, PlaylistWindowEscClosesItOnlyInFullScreen) {
    Form2->show();
    Form2->FormKeyDown(Qt::Key_Escape);
    EXPECT_TRUE(Form2->isVisible());
    Form1->FormKeyDown(Qt::Key_F11);
    Form2->FormKeyDown(Qt::Key_Escape);
    EXPECT_FALSE(Form2->isVisible());
}

} // namespace
