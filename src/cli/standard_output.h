// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ends a command's use of standard output: flushes it and checks that every
// write to it went through. When one failed it prints "susurra-cli: I can't
// write standard output: REASON" on standard error and returns 1 in place of
// a status of 0; any other status is returned unchanged.
int FinishStandardOutput(int status);
