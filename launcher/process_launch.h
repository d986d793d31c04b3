// The two processes the launcher starts: the game client and a fresh copy of itself.
#pragma once

#include <string>

// Starts the game client below the program directory with the login address and, once it was
// created, asks the launcher's message loop to end. A failed start changes nothing. The address is
// always one argument: on Windows the command line " p " and the address, quoted when it holds a
// blank, tab or double quote.
void LaunchGameClient(const std::string& strAddress);

// Starts the program's own executable again, without arguments.
void RelaunchLauncher();
