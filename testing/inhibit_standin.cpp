// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-inhibit-standin LOG [portal,gnome,power]: the desktop's inhibit
// services on the session bus for scripts that test the real programs.
// Appends each call to LOG as it comes, and "held N" whenever the number of
// inhibitors held changes; ends on SIGTERM or SIGINT.
#include "testing/inhibit_services.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>
#include <thread>

namespace
{
volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fputs("usage: susurra-inhibit-standin LOG [portal,gnome,power]\n", stderr);
        return 2;
    }
    const std::string_view wanted = argc > 2 ? argv[2] : "portal,gnome,power";
    std::set<CInhibitServices::Service> offered;
    if (wanted.find("portal") != std::string_view::npos)
        offered.insert(CInhibitServices::Service::Portal);
    if (wanted.find("gnome") != std::string_view::npos)
        offered.insert(CInhibitServices::Service::Gnome);
    if (wanted.find("power") != std::string_view::npos)
        offered.insert(CInhibitServices::Service::Power);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    CInhibitServices services(offered);
    if (!services.Ready())
    {
        std::fputs("susurra-inhibit-standin: no session bus, or a name is taken\n", stderr);
        return 1;
    }
    std::FILE* log = std::fopen(argv[1], "a");
    if (log == nullptr)
        return 1;
    std::size_t written = 0;
    int held = 0;
    while (g_stop == 0)
    {
        const std::vector<std::string> calls = services.Calls();
        for (; written < calls.size(); ++written)
            std::fprintf(log, "%s\n", calls[written].c_str());
        if (const int now = services.Held(); now != held)
            std::fprintf(log, "held %d\n", held = now);
        std::fflush(log);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fclose(log);
    return 0;
}
