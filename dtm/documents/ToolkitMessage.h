#pragma once
// The numbered toolkit messages the document parts send to the frame (2001 after a parameter document was
// not wholly applied, 2002 after the verification found a rejected value), in the user's language through
// the DTM services' toolkit messages, else their built-in English text. Apartment thread.
#include <windows.h>

#include "dtm/DtmHost.h"
#include "dtm/services/ToolkitMessages.h"

// Message `id` to the frame's error-message event, after the DTM's system tag. Nothing is sent, and S_OK
// answered, when the frame gave no event interface. The frame's answer is not looked at; only the text's
// allocation can fail.
HRESULT SendToolkitMessage(DtmHost& host, LONG id) noexcept;
