#include "app/display_check.h"

#include "platform/qt/display_connection.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace {

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

// The value of the last `-NAME VALUE` (or `--NAME VALUE`) argument; null when there is none.
const char* LastOption(int argc, char** argv, std::string_view name) {
    const char* value = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with('-') && argument.substr(argument.starts_with("--") ? 2 : 1) == name)
            value = argv[++i];
    }
    return value;
}

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

std::vector<HeldMessage> heldMessages;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, context.category, text});
        return;
    }
    // Qt's first word on it names the display ("could not connect to display :3"); its last
    // only says that no platform plugin could start.
    const QString reason = heldMessages.empty() ? text.section(QLatin1Char('.'), 0, 0) : heldMessages.front().text;
    std::fprintf(stderr, "decimon: cannot open the display: %s\n", reason.toLocal8Bit().constData());
    std::_Exit(NoDisplayStatus);  // no abort, no core dump; nothing of ours has started yet
}

QtMessageHandler beforeLoss = nullptr;
QLoggingCategory::CategoryFilter filterBeforeLoss = nullptr;
std::function<void()> saveAtLoss;
std::optional<DisplayConnection> watched;
std::atomic<bool> watching = false;

// The categories and kinds of message that the logging rules turned off, which go no further
// than the watch.
std::mutex quietLock;
std::set<std::pair<std::string, QtMsgType>> quiet;

void Note(QLoggingCategory* category, QtMsgType type, bool enabled) {
    const std::pair<std::string, QtMsgType> key(category->categoryName(), type);
    if (enabled)
        quiet.erase(key);
    else
        quiet.insert(key);
    category->setEnabled(type, true);
}

// Qt warns just before it ends the program on a broken connection (on Wayland without an exit
// handler): its warnings and criticals reach the watch whatever the logging rules say.
void KeepWarnings(QLoggingCategory* category) {
    filterBeforeLoss(category);
    std::lock_guard lock(quietLock);
    Note(category, QtWarningMsg, category->isWarningEnabled());
    Note(category, QtCriticalMsg, category->isCriticalEnabled());
}

bool RuledOut(QtMsgType type, const char* category) {
    std::lock_guard lock(quietLock);
    return quiet.count({category ? category : "default", type}) > 0;
}

[[noreturn]] void EndAtLoss(const QString& reason) {
    // A second thread's word (Xlib's beside xcb's) waits for the first to end the program.
    static std::atomic_flag ending;
    while (ending.test_and_set())
        std::this_thread::sleep_for(std::chrono::hours(1));
    saveAtLoss();
    std::fprintf(stderr, "decimon: the display server went away (%s)\n", reason.toLocal8Bit().constData());
    std::_Exit(NoDisplayStatus);  // Qt's exit would run the static destructors under running threads
}

// Any message is a moment to ask the connection: when it has failed, the message is Qt's word
// on it.
void WatchForLoss(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (watched->Broken())
        EndAtLoss(text);
    if (!RuledOut(type, context.category))
        beforeLoss(type, context, text);
}

// An end without a word first (Xlib's own handler exits).
void WatchTheExit() {
    if (watching && watched->Broken())
        EndAtLoss(QStringLiteral("its connection failed"));
}

}  // namespace

const char* DisplayArgument(int argc, char** argv) {
    return LastOption(argc, argv, "display");
}

std::optional<std::string> MissingDisplay(int argc, char** argv) {
    // A platform or an X display named on the command line is taken at its word: Qt tries it
    // (Wayland's without WAYLAND_DISPLAY on the socket wayland-0), and DisplayOpening reports
    // a failure or a silence.
    if (LastOption(argc, argv, "platform") != nullptr || DisplayArgument(argc, argv) != nullptr)
        return std::nullopt;
    std::string_view names = IsSet("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "xcb;wayland";
    std::string missing;
    while (!names.empty()) {
        const std::size_t end = names.find(';');
        const std::string_view name = names.substr(0, std::min(names.find(':'), end));
        names.remove_prefix(end == std::string_view::npos ? names.size() : end + 1);
        const char* variable = name == "xcb" ? "DISPLAY" : name.starts_with("wayland") ? "WAYLAND_DISPLAY" : nullptr;
        if (variable == nullptr || IsSet(variable))
            return std::nullopt;
        if (missing.find(variable) == std::string::npos)
            missing += missing.empty() ? variable : std::string(" nor ") + variable;
    }
    return "decimon: no display to show on: " +
           (missing.find(" nor ") == std::string::npos ? missing + " is not set" : "neither " + missing + " is set");
}

DisplayOpening::DisplayOpening() : previous_(qInstallMessageHandler(HoldMessage)) {
    watchdog_ = std::thread([this] {
        std::unique_lock lock(lock_);
        if (opened_.wait_for(lock, AnswerBound, [this] { return done_; }))
            return;
        std::fprintf(stderr, "decimon: cannot open the display: no answer from the display server within %lld s\n",
                     static_cast<long long>(AnswerBound.count()));
        std::_Exit(NoDisplayStatus);
    });
}

DisplayOpening::~DisplayOpening() {
    {
        std::lock_guard lock(lock_);
        done_ = true;
    }
    opened_.notify_one();
    watchdog_.join();
    qInstallMessageHandler(previous_);
    for (const HeldMessage& message : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    heldMessages.clear();
}

DisplayLoss::DisplayLoss(std::function<void()> save) {
    saveAtLoss = std::move(save);
    watched = DisplayConnection::Current();
    beforeLoss = qInstallMessageHandler(WatchForLoss);
    // The filter in force is known before ours runs: installing one runs it at once.
    filterBeforeLoss = QLoggingCategory::installFilter(nullptr);
    QLoggingCategory::installFilter(KeepWarnings);
    static const bool exitWatched = std::atexit(WatchTheExit) == 0;
    watching = exitWatched;
}

DisplayLoss::~DisplayLoss() {
    watching = false;
    QLoggingCategory::installFilter(filterBeforeLoss);
    qInstallMessageHandler(beforeLoss);
}
