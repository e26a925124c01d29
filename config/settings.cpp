#include "config/settings.h"

#include "platform/sys/fixed_text.h"

void SetFactoryDefaults(Settings& settings) {
    settings = Settings{};  // every text byte zero: Password and the Recent entries are empty
    settings.ShiftLenHours = DefaultShiftLenHours;
    settings.LevelOffset = DefaultLevelOffset;
    settings.PollingInterval = DefaultPollingInterval;
    settings.DisplayWarning = DefaultDisplayWarning;
    settings.SnmpTimeout = DefaultSnmpTimeout;
    settings.SnmpRetries = DefaultSnmpRetries;
    CopyFixedText(settings.WarningMessage, DefaultWarningMessage);
    CopyFixedText(settings.HostName, DefaultHostName);
}
