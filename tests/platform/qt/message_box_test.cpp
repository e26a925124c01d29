// The one message box: answered by a test's handler, and the real box on Qt.
#include "platform/qt/message_box.h"
#include "tests/support/modal_answer.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

using namespace decimon::test;

namespace {

// Puts back whatever handler was set before the test.
class MessageBoxTest : public ::testing::Test {
protected:
    void TearDown() override { SetMessageBoxHandler(std::move(saved_)); }
    void Answer(MessageBoxHandler handler) { saved_ = SetMessageBoxHandler(std::move(handler)); }

private:
    MessageBoxHandler saved_;
};

QMessageBox* Box(QWidget* modal) {
    return qobject_cast<QMessageBox*>(modal);
}

}  // namespace

TEST_F(MessageBoxTest, AHandlerReceivesTheRequestAndGivesTheAnswer) {
    QWidget owner;
    std::optional<MessageBoxRequest> seen;
    Answer([&](const MessageBoxRequest& request) {
        seen = request;
        return IDNO;
    });
    EXPECT_EQ(MessageBox(&owner, "Delete meter?  Are you sure?", "Confrm Delete", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->owner, &owner);
    EXPECT_EQ(seen->text, "Delete meter?  Are you sure?");
    EXPECT_EQ(seen->caption, "Confrm Delete");
    EXPECT_EQ(seen->type, MB_YESNO | MB_ICONEXCLAMATION);

    EXPECT_EQ(MessageBox(nullptr, nullptr, nullptr, MB_OK), IDNO);
    EXPECT_EQ(seen->caption, "Error");  // what a box without a caption is called
    EXPECT_EQ(seen->text, "");
}

TEST_F(MessageBoxTest, SettingAHandlerGivesBackThePreviousOne) {
    Answer([](const MessageBoxRequest&) { return IDYES; });
    MessageBoxHandler previous = SetMessageBoxHandler([](const MessageBoxRequest&) { return IDCANCEL; });
    ASSERT_TRUE(previous);
    EXPECT_EQ(previous({}), IDYES);
    EXPECT_EQ(MessageBox(nullptr, "x", "y", MB_OKCANCEL), IDCANCEL);
}

TEST_F(MessageBoxTest, TheRealBoxShowsTextCaptionIconAndButtons) {
    QWidget owner;
    owner.show();
    bool checked = false;
    ModalAnswer answer([&](QWidget* modal) {
        QMessageBox* box = Box(modal);
        ASSERT_TRUE(box);
        checked = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
        EXPECT_EQ(box->text(), QString::fromLatin1("Invalid password \xB5"));  // the code page's micro sign
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(MessageBox(&owner, "Invalid password \xB5", "Error", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_TRUE(checked);
}

TEST_F(MessageBoxTest, TheRealBoxAnswersTheButtonPressed) {
    ModalAnswer no([](QWidget* modal) {
        QMessageBox* box = Box(modal);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(MessageBox(nullptr, "Delete?", "Confrm Delete", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    EXPECT_TRUE(no.Seen());

    ModalAnswer cancel([](QWidget* modal) {
        EXPECT_EQ(Box(modal)->icon(), QMessageBox::Question);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(MessageBox(nullptr, "Restore?", "Confirm", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_TRUE(cancel.Seen());
}

TEST_F(MessageBoxTest, EscDoesNothingInAYesNoBox) {
    bool stillOpen = false;
    ModalAnswer answer([&](QWidget* modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
        modal->close();
        stillOpen = modal->isVisible();
        Box(modal)->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(MessageBox(nullptr, "Sure?", "Confirm", MB_YESNO | MB_ICONINFORMATION), IDYES);
    EXPECT_TRUE(stillOpen);
}
