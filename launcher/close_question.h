// The question both windows ask before the player leaves the game.
#pragma once

#include "framework/wnd.h"

// Asks "正在游戏中，确定退出Drelk？" (Yes / No) over pOwner; true when the player answered Yes.
bool AskToLeaveTheGame(CWnd& owner);
