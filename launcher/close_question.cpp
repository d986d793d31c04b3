#include "launcher/close_question.h"

#include "framework/codepage.h"
#include "framework/run_log.h"

bool AskToLeaveTheGame(CWnd& owner) {
    const bool bLeave = owner.MessageBox(AfxAnsiText(u"正在游戏中，确定退出Drelk？").c_str(),
                                         AfxAnsiText(u"关闭提示").c_str(), MB_YESNO) == IDYES;
    AfxLog(bLeave ? "close question: Yes" : "close question: No");
    return bLeave;
}
