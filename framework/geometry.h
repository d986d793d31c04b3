// CRect, CPoint and CSize: the classic framework's value types over RECT, POINT and SIZE.
#pragma once

#include "framework/windefs.h"

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int nX, int nY) : POINT{nX, nY} {}
    CPoint(POINT pt) : POINT(pt) {}
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
    CPoint operator-(const CPoint& other) const { return CPoint(x - other.x, y - other.y); }
    CPoint operator+(const CPoint& other) const { return CPoint(x + other.x, y + other.y); }
};

class CSize : public SIZE {
public:
    CSize() : SIZE{0, 0} {}
    CSize(int nCx, int nCy) : SIZE{nCx, nCy} {}
};

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rc) : RECT(rc) {}
    CRect(CPoint topLeft, CSize size)
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    // Right and bottom edges are outside.
    bool PtInRect(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    // The common part of both; empty (all zero) when they do not meet.
    bool IntersectRect(const RECT& a, const RECT& b);
    bool operator==(const CRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

inline bool CRect::IntersectRect(const RECT& a, const RECT& b) {
    CRect result(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                 a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
    if (result.IsRectEmpty()) {
        result = CRect();
    }
    *this = result;
    return !IsRectEmpty();
}
