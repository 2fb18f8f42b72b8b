#pragma once

// The subcommands of susurra-cli. Each takes the arguments after its own name
// and returns the process exit status: 0 success, 1 a file or device error,
// 2 a usage error or a refused value.
int RunRender(int argc, char** argv);
int RunPlay(int argc, char** argv);
int RunMatch(int argc, char** argv);
int RunHearing(int argc, char** argv);
int RunDevices(int argc, char** argv);
int RunSettings(int argc, char** argv);
