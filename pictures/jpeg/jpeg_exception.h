#pragma once
// The failure of JPEG decoding: "JPEG error #%d" with libjpeg's message code.

#include "base/exception.h"

TW_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);
