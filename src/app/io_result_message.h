// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "base/io_result.h"

// The window's message for a failed file or settings operation, through the
// translator; the English texts are the command line's (IoResultText). Empty
// for Ok and Cancelled.
QString IoResultMessage(const CIoResult& result);
