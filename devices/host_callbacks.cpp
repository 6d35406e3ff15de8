#include "devices/host_callbacks.h"

HostCallback StageClientCallback = nullptr;
HostCallback DeviceClientCallback = nullptr;
