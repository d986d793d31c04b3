// The heads of an HTTP transfer as libcurl hands them over, one header line at a time: which of
// them is the answer's head (not an interim 1xx head, nor that of a redirect libcurl follows).
// No libcurl here: the lines are plain text.
#pragma once

#include <string_view>

class CHttpHeadLines {
public:
    // One line as it came, its line end included; the blank line ends a head.
    void OnLine(std::string_view line);
    // The body began: whatever came before it was the answer's head.
    void OnBody() { m_bAnswerHead = true; }
    // True once the answer's head has ended (or its body began).
    bool AnswerHeadReceived() const { return m_bAnswerHead; }
    // The status of the head being received (0 when its status line has none).
    int Status() const { return m_nStatus; }

private:
    int m_nStatus = 0;
    bool m_bLocation = false; // the head being received names a new location
    bool m_bAnswerHead = false;
};
