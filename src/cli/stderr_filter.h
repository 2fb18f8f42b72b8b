// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

// While it lives, standard error passes through a filter that drops the
// audio library's internal check reports ("Expression '...' failed in
// '...', line: N"), which its own threads print when a device fails, and
// passes every other line on unchanged and in order. Destroying it restores
// standard error and waits until every line has been passed on.
class CStderrFilter
{
public:
    CStderrFilter();
    ~CStderrFilter();
    CStderrFilter(const CStderrFilter&) = delete;
    CStderrFilter& operator=(const CStderrFilter&) = delete;

private:
    void Pass(int from);

    int m_saved = -1; // the real standard error
    std::thread m_thread;
};
