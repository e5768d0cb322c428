#include "WindowHarness.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
#include <gtest/gtest.h>

namespace kelvarin::test {
namespace {

// Whether the user could type `text` into the box.
bool typeable(QLineEdit* box, const QString& text) {
    QString t = text;
    int pos = 0;
    return box->validator() == nullptr || box->validator()->validate(t, pos) != QValidator::Invalid;
}

TEST(WindowControlsTest, CaptionsNamesAndStartingStates) {
    WindowHarness h;
    frmConverterMain& w = h.load(true);

    EXPECT_EQ(w.windowTitle(), "Kelvarin_Ver.3, Dated:16/09/2011");
    EXPECT_EQ(w.size(), QSize(800, 600));

    auto* chk = w.findChild<QCheckBox*>("chkIR");
    ASSERT_NE(chk, nullptr);
    EXPECT_EQ(chk->text(), "IR Transfer ");
    EXPECT_EQ(chk->toolTip(), "Select to download via IR");
    EXPECT_FALSE(chk->isChecked());

    const std::pair<const char*, const char*> buttons[] = {{"cmdSearchPort", "Port Settings"},
                                                           {"cmdPortOK", "&Save"},
                                                           {"cmdClose", "&Close"},
                                                           {"cmdSerchFile", "...."},
                                                           {"CmdDownload", "&Download To Vorixan"},
                                                           {"cmdUpload", "&Upload To PC"},
                                                           {"cmdCancel", "&Exit"}};
    for (const auto& [name, text] : buttons) {
        auto* b = w.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), text) << name;
        EXPECT_TRUE(b->isEnabled()) << name;
    }

    const std::pair<const char*, const char*> labels[] = {
        {"Label5", "Enter COM Port"}, {"Label6", "Port"},  {"Label7", "Baud"},
        {"Label2", "Source File"},    {"txtComPort", "1"}, {"Label1", ""},
        {"lblStatus", "Status"}};
    for (const auto& [name, text] : labels) {
        auto* l = w.findChild<QLabel*>(name);
        ASSERT_NE(l, nullptr) << name;
        EXPECT_EQ(l->text(), text) << name;
    }
    EXPECT_TRUE(w.lblStatus->isHidden());
    EXPECT_FALSE(w.Frame1->isHidden());
    EXPECT_TRUE(w.fraPortSettings->isHidden());
    EXPECT_EQ(w.chkIR->parent(), w.Frame1);
    EXPECT_EQ(w.cmdSearchPort->parent(), w.Frame1);
    EXPECT_EQ(w.txtPortSetup->parent(), w.fraPortSettings);

    EXPECT_EQ(w.txtPortSetup->text(), "");
    EXPECT_EQ(w.txtBaudSetup->text(), "57600");
    EXPECT_TRUE(w.txtBaudSetup->isReadOnly());
    EXPECT_EQ(w.ccrpPB->value(), 0);

    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_EQ(w.Timer2->interval(), 100);
    EXPECT_FALSE(w.Timer2->isActive());
}

TEST(WindowControlsTest, BaudBoxAndItsLabelsLieBelowTheFramesVisibleArea) {
    WindowHarness h;
    frmConverterMain& w = h.load(true);
    const int frameHeight = w.fraPortSettings->height();
    EXPECT_GE(w.txtBaudSetup->y(), frameHeight);
    EXPECT_GE(w.Label6->y(), frameHeight);
    EXPECT_GE(w.Label7->y(), frameHeight);
    EXPECT_LT(w.txtPortSetup->y() + w.txtPortSetup->height(), frameHeight);
}

TEST(WindowControlsTest, TypingLimitsLeaveTextThePutsThereWhole) {
    WindowHarness h;
    frmConverterMain& w = h.load(true);
    EXPECT_TRUE(typeable(w.txtFile, QStringLiteral("ABCDEFGH.MST")));
    EXPECT_FALSE(typeable(w.txtFile, QStringLiteral("ABCDEFGHI.MST")));
    EXPECT_TRUE(typeable(w.txtPortSetup, QStringLiteral("12")));
    EXPECT_FALSE(typeable(w.txtPortSetup, QStringLiteral("123")));
    EXPECT_FALSE(typeable(w.txtBaudSetup, QStringLiteral("1152000")));

    w.txtFile->setText(QStringLiteral("A-VERY-LONG-NAME.MST"));
    EXPECT_EQ(w.txtFile->text(), "A-VERY-LONG-NAME.MST");
}

} // namespace
} // namespace kelvarin::test
