#include "launcher/close_question.h"

#include "framework/codepage.h"

bool AskToLeaveTheGame(CWnd& owner) {
    return owner.MessageBox(AfxAnsiText(u"正在游戏中，确定退出Drelk？").c_str(),
                            AfxAnsiText(u"关闭提示").c_str(), MB_YESNO) == IDYES;
}
