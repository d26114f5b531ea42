// The session id is the user id.
#include "platform/Session.h"

#include <unistd.h>

int32_t SessionID() { return int32_t(::getuid()); }
