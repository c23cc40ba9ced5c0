#include "app/Application.h"
#include "support/FakeDialogs.h"
#include "support/FakeEngine.h"
#include "ui/StyledButton.h"
#include "ui/TrackBar.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <gtest/gtest.h>

namespace {

class WindowLayout : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    FakeEngine engine;
    void SetUp() override { CreateForms(&engine); }
    void TearDown() override { DestroyForms(); }

    static int LeftIn(QWidget *w, QWidget *parent) { return w->mapTo(parent, QPoint(0, 0)).x(); }
    static void Settle(QWidget *form) {
        form->show();
        form->layout()->activate();
    }
};

TEST_F(WindowLayout, MainToolBarAtDesignSize) {
    Settle(Form1);
    ASSERT_EQ(Form1->size(), QSize(817, 366));
    EXPECT_EQ(Form1->Panel1->geometry(), QRect(2, 2, 813, 362));
    EXPECT_EQ(Form1->Rectangle1->size(), QSize(813, 316));
    EXPECT_EQ(Form1->Rectangle2->size(), QSize(813, 296));
    EXPECT_EQ(Form1->Rectangle3->height(), 20);
    EXPECT_EQ(Form1->cTime->geometry(), QRect(763, 0, 50, 20));
    EXPECT_EQ(Form1->ToolBar1->geometry(), QRect(0, 316, 813, 46));
    const std::pair<QWidget *, int> edges[] = {
        {Form1->bOpen, 0},       {Form1->bURL, 51},       {Form1->bPause, 97},
        {Form1->bList, 148},     {Form1->bPrevious, 199}, {Form1->bNext, 250},
        {Form1->VolumeBar, 516}, {Form1->bInfo, 711},     {Form1->bExit, 762},
    };
    for (const auto &[w, x] : edges)
        EXPECT_EQ(LeftIn(w, Form1->ToolBar1), x) << w->objectName().toStdString();
    EXPECT_EQ(Form1->VolumeBar->width(), 195);
    EXPECT_FALSE(Form1->nextRL->isVisible());
    EXPECT_FALSE(Form1->fScreen->isVisible());
    EXPECT_EQ(Form1->bPause->styleLookup(), "playtoolbuttonbordered");
    EXPECT_EQ(Form1->bPause->hint(), "");
    EXPECT_EQ(Form1->bList->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(Form1->Timer1->interval(), 100);
    EXPECT_EQ(Form1->Timer2->interval(), 3000);
    EXPECT_EQ(Form1->hide->interval(), 5000);
    EXPECT_FALSE(Form1->hide->isActive());
}

TEST_F(WindowLayout, MainWindowNeverStaysBelowItsMinimum) {
    Settle(Form1);
    const QSize sizes[] = {{500, 200}, {816, 400}, {900, 365}, {817, 366}};
    for (const QSize &s : sizes) {
        Form1->resize(s);
        EXPECT_EQ(Form1->size(), s.expandedTo(QSize(817, 366)));
    }
    Form1->resize(1000, 600);
    EXPECT_EQ(LeftIn(Form1->bExit, Form1->ToolBar1), 1000 - 4 - 5 - 46);
}

TEST_F(WindowLayout, PlaylistToolBarAtDesignSize) {
    Settle(Form2);
    ASSERT_EQ(Form2->size(), QSize(674, 367));
    EXPECT_EQ(Form2->ToolBar1->width(), 664);
    const std::pair<QWidget *, int> edges[] = {
        {Form2->bApp, 0},      {Form2->bURL, 51},   {Form2->bDel, 97},     {Form2->Button2, 148},
        {Form2->bErase, 188},  {Form2->sep, 259},   {Form2->cRepeat, 299}, {Form2->cShuffle, 419},
        {Form2->Button1, 573}, {Form2->bExit, 613},
    };
    for (const auto &[w, x] : edges)
        EXPECT_EQ(LeftIn(w, Form2->ToolBar1), x) << w->objectName().toStdString();
    EXPECT_EQ(LeftIn(Form2->Label1, Form2->ToolBar1), 440);
    EXPECT_EQ(LeftIn(Form2->Label2, Form2->ToolBar1), 320);
    EXPECT_EQ(Form2->SearchBox1->height(), 27);
    EXPECT_FALSE(Form2->iiCheck->isVisible());
}

} // namespace
