#include "platform/qt/display_connection.h"

#include "platform/qt/compositor_idle_inhibit.h"
#include "platform/sys/program_module.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <string>

DisplayConnection DisplayConnection::Current() {
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr)
        return DisplayConnection([connection] { return xcb_connection_has_error(connection) != 0; });
    constexpr char modulePath[] = DECIMON_WAYLAND_MODULE;
    if (modulePath[0] == '\0' || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return DisplayConnection({});
    std::string reason;
    auto error =
        reinterpret_cast<WaylandConnectionError>(ProgramModuleSymbol(modulePath, kWaylandConnectionError, &reason));
    return DisplayConnection(error ? std::function<bool()>([error] { return error() != 0; }) : nullptr);
}
