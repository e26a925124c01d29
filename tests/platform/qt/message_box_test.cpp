// The one message box: answered by a test's handler, and the real box on Qt.
#include "platform/qt/message_box.h"
#include "tests/support/modal_answer.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
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

// The real box of each kind: its look, and the answer of the button or key pressed. A box
// with Yes and No but no Cancel ignores Esc and its close box.
TEST_F(MessageBoxTest, TheRealBoxShowsTheRequestAndAnswersTheButtonPressed) {
    using QB = QMessageBox;
    const auto click = [](QB::StandardButton button) { return [=](QB* box) { box->button(button)->click(); }; };
    const auto escape = [](QB* box) { QTest::keyClick(box, Qt::Key_Escape); };
    QWidget owner;  // a box with an owner is modal to it, one without to the application
    owner.show();
    const struct {
        QWidget* owner;
        std::uint32_t type;
        QB::Icon icon;
        QB::StandardButtons buttons;
        QB::StandardButton defaultButton;
        std::function<void(QB*)> press;
        int answer;
    } cases[] = {
        {&owner, MB_OK | MB_ICONERROR, QB::Critical, QB::Ok, QB::Ok, click(QB::Ok), IDOK},
        {nullptr, MB_YESNO | MB_ICONEXCLAMATION, QB::Warning, QB::Yes | QB::No, QB::Yes, click(QB::No), IDNO},
        {nullptr, MB_YESNOCANCEL | MB_ICONQUESTION, QB::Question, QB::Yes | QB::No | QB::Cancel, QB::Yes, escape,
         IDCANCEL},
        {nullptr, MB_YESNO | MB_ICONINFORMATION, QB::Information, QB::Yes | QB::No, QB::Yes,
         [&](QB* box) {
             escape(box);
             box->close();
             EXPECT_TRUE(box->isVisible()) << "Esc or the close box ended a Yes/No box";
             box->button(QB::Yes)->click();
         },
         IDYES},
    };
    for (const auto& c : cases) {
        ModalAnswer answer([&](QWidget* modal) {
            QB* box = qobject_cast<QB*>(modal);
            ASSERT_TRUE(box);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Caption"));
            EXPECT_EQ(box->text(), QString::fromLatin1("Invalid password \xB5"));  // the code page's micro sign
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
            c.press(box);
        });
        EXPECT_EQ(MessageBox(c.owner, "Invalid password \xB5", "Caption", c.type), c.answer) << c.type;
        EXPECT_TRUE(answer.Seen()) << c.type;
    }
}
