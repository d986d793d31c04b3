// The operator's pages named by settings, opened in the desktop's default browser.
#pragma once

// Hands the setting's value, unchanged, to the shell's "open".
void OpenSettingInShell(const char* pszKey);
