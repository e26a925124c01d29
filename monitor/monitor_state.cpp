#include "monitor/monitor_state.h"

COleDateTime NoErrorTime() {
    COleDateTime value;
    value.SetDateTime(1929, 10, 27, 15, 0, 0);
    return value;
}
