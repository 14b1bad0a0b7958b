// GDI objects that free their handle with themselves.
#include "afxwin.h"

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    DeleteObject();
    m_hObject = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
    return m_hObject != nullptr;
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename)
{
    DeleteObject();
    m_hObject = ::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                              nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename);
    return m_hObject != nullptr;
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    DeleteObject();
    m_hObject = ::CreateSolidBrush(crColor);
    return m_hObject != nullptr;
}
