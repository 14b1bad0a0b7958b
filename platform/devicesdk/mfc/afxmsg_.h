/*
 * The dialog framework's message maps (mfcce300): the map, its entries'
 * signatures and the macros that write them. On the device afxwin.h
 * declares the map itself (AFX_PMSG, AFX_MSGMAP_ENTRY, AFX_MSGMAP,
 * DECLARE_MESSAGE_MAP, BEGIN_MESSAGE_MAP, END_MESSAGE_MAP, afx_msg) and reads
 * afxmsg_.h for the rest, with WM_CTLCOLOR from afxv_w32.h; here they stand
 * together, read by the surface's afxwin.h and by the stand-in framework's
 * alike, so that both build the same maps. The macros qualify the member with
 * the map's class (&ThisClass::OnOK), which this compiler wants and the
 * framework's takes.
 */
#ifndef DEVICESDK_AFXMSG_H
#define DEVICESDK_AFXMSG_H

class CCmdTarget;

/* afx_msg marks a handler that a map names. */
#define afx_msg

typedef void (CCmdTarget::*AFX_PMSG)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; /* WM_COMMAND or WM_CTLCOLOR; 0 ends the map */
    UINT nCode;    /* notification code (CN_COMMAND for commands) */
    UINT nID;      /* control or command id */
    UINT nLastID;  /* the last of a range of ids */
    UINT nSig;     /* an AfxSig: how the handler is called */
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP *(*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY *lpEntries;
};

/* The signatures that the maps here use, with the framework's values. */
enum AfxSig {
    AfxSig_end = 0,  /* ends a map */
    AfxSig_hDWw = 4, /* HBRUSH (CDC *, CWnd *, UINT): OnCtlColor */
    AfxSig_vv = 12   /* void (): commands and control notifications */
};

/* The framework's one message for every control colour (WM_CTLCOLORSTATIC
   and its kin), with the kind of control as CTLCOLOR_*. */
#define WM_CTLCOLOR 0x0019
#define CN_COMMAND 0

#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    static const AFX_MSGMAP *GetThisMessageMap();                                                                      \
    virtual const AFX_MSGMAP *GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const AFX_MSGMAP *theClass::GetMessageMap() const { return GetThisMessageMap(); }                                  \
    const AFX_MSGMAP *theClass::GetThisMessageMap()                                                                    \
    {                                                                                                                  \
        typedef theClass ThisClass;                                                                                    \
        typedef baseClass TheBaseClass;                                                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                                              \
    {                                                                                                                  \
        0, 0, 0, 0, AfxSig_end, 0                                                                                      \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};                      \
    return &messageMap;                                                                                                \
    }

#define ON_COMMAND(id, memberFxn)                                                                                      \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_CONTROL(code, id, memberFxn)                                                                                \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
/* One entry, laid out as the entries above. */
// clang-format off
#define ON_WM_CTLCOLOR()                                                                                               \
    {WM_CTLCOLOR, 0, 0, 0, AfxSig_hDWw,                                                                                \
     reinterpret_cast<AFX_PMSG>(static_cast<HBRUSH (CWnd::*)(CDC *, CWnd *, UINT)>(&ThisClass::OnCtlColor))},
// clang-format on

#endif
