#pragma once
// Resource ids of the keyboard-message hook stand-in.
#define IDR_MESSAGE_HOOK 101
