// Window messages sent to controls reached through the accessibility bus: text, buttons and
// check boxes, lists and combo boxes, selections, and keys typed into the focused control.
#pragma once

#include "automation/window_messages.h"

qint64 ActOnControlMessage(quint64 control, qint64 message, const MessageParameter& wParam,
                           const MessageParameter& lParam);
