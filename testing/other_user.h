// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs f (returning an int) in a child process that holds no more rights
// than an ordinary user: as root, the child becomes the user nobody (65534),
// for whom folder and file permissions hold; any other user stays who they
// are. Returns f's result as the child's exit status, 128 + the signal that
// ended it, or kNoOrdinaryUser when root could not become nobody (a user
// namespace without that user, say).
inline constexpr int kNoOrdinaryUser = 125;

template <class F>
int RunAsOrdinaryUser(F f)
{
    const pid_t pid = ::fork();
    if (pid == 0)
    {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(kNoOrdinaryUser);
        ::_exit(f());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The id of a process that has ended and been reaped: what a killed
// program leaves in the names of its temporaries.
inline pid_t DeadPid()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

// The user such a child runs as.
inline uid_t OrdinaryUser()
{
    return ::geteuid() == 0 ? 65534 : ::geteuid();
}
