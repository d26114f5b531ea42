// The login session id: names undo files and is matched against plug-in messages.
#pragma once
#include <cstdint>

// The user id of the process.
int32_t SessionID();
