// Decimon: a full-screen wall display for one networked sound-level meter.
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/kelda_app.h"
#include "app/main_frame.h"
#include "config/dialogs/configure_command.h"
#include "platform/qt/number_locale.h"
#include "platform/qt/single_instance.h"
#include "view/child_view.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace {

// How long a second start waits for the first to answer; with its own start-up it ends
// within 3 s even when the first hangs.
constexpr std::chrono::milliseconds kAnswerPatience{2000};

// Each line as the program prints it, "decimon: " included, so that the guide's list of
// messages can be checked against the sources.
void Say(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

// One display per user and screen, decided before any window or poll: true when this
// process goes on to show the display (having said why when it runs unguarded).
bool TakeTheScreen(SingleInstance& instance, const QString& screen) {
    switch (instance.Decide(kAnswerPatience)) {
    case SingleInstance::Role::Second:
        Say(QStringLiteral("decimon: already running on %1; brought it to the front").arg(screen));
        return false;
    case SingleInstance::Role::SecondUnanswered:
        Say(QStringLiteral("decimon: already running on %1, but it did not answer; left it as it is").arg(screen));
        return false;
    case SingleInstance::Role::Unguarded:
        Say(QStringLiteral("decimon: %1: cannot make sure that no other copy runs on %2")
                .arg(instance.Trouble(), screen));
        return true;
    case SingleInstance::Role::First:
        if (!instance.Trouble().isEmpty())
            Say(QStringLiteral("decimon: %1: a second start on %2 cannot bring this one to the front")
                    .arg(instance.Trouble(), screen));
        return true;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerInfoRequest(argc, argv))
        return *status;
    if (!OnlyQtArguments(argc, argv))
        return BadArgumentsStatus;
    if (const std::optional<std::string> missing = MissingDisplay(argc, argv)) {
        std::fprintf(stderr, "%s\n", missing->c_str());
        return NoDisplayStatus;
    }
    // The X display as Qt's xcb platform takes it; the argument's text outlives its place in argv.
    const char* xDisplay = DisplayArgument(argc, argv);
    if (xDisplay == nullptr)
        xDisplay = std::getenv("DISPLAY");
    auto opening = std::make_unique<DisplayOpening>();
    QApplication qt(argc, argv);  // takes Qt's own arguments out of argv
    opening.reset();
    if (!NoArgumentsLeft(argc, argv))
        return BadArgumentsStatus;
    UseCNumberLocale();  // QApplication took the desktop's language for numbers too
    const std::string screen = ScreenKey(std::getenv("WAYLAND_DISPLAY"), xDisplay);
    SingleInstance instance(UserRuntimeDir(), screen);
    if (!TakeTheScreen(instance, QString::fromStdString(screen)))
        return 0;
    UseLanguageSetting();  // before any window or message box
    CkeldaApp app;
    if (!app.InitInstance())
        return 1;
    QObject::connect(&instance, &SingleInstance::ComeForwardRequested, app.MainWindow(), &CMainFrame::ComeForward);
    const DisplayLoss loss([&app] { app.MainWindow()->View().WriteRecordAtOnce(DisplayLoss::SaveBound); });
    return qt.exec();
}
