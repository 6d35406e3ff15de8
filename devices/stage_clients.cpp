#include "devices/stage_clients.h"

HostCallback StageClientCallback = nullptr;
