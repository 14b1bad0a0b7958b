// Put ahead of every unit of the control panel by the device build
// (scripts/device-build, clang's -include): what the platform's compiler
// takes from these sources and clang does not.
//
// The framework comes first, before the sources' own windows.h, as the
// framework's headers demand (a device project gets that from its
// precompiled header).
//
// A message map's entries take a handler's address unqualified (&OnAbout),
// which the platform's compiler accepts and clang refuses: here they qualify
// it with the map's class. Each map names its class to a small template,
// keyed by the map's address, and its entries find that class through the
// map they are in. The maps keep the framework's layout for a DLL build.
#ifndef DEVICE_FRAMEWORK_H
#define DEVICE_FRAMEWORK_H

#include <afxwin.h>

#ifndef _AFXDLL
#error "the control panel uses the framework as a DLL"
#endif

template <const AFX_MSGMAP *map>
struct MessageMapClass;
// In a map's entries, the class whose map they are.
#define MESSAGE_MAP_CLASS MessageMapClass<&messageMap>::Type

#undef BEGIN_MESSAGE_MAP
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    template <>                                                                                                        \
    struct MessageMapClass<&theClass::messageMap> {                                                                    \
        typedef theClass Type;                                                                                         \
    };                                                                                                                 \
    const AFX_MSGMAP *PASCAL theClass::_GetBaseMessageMap() { return &baseClass::messageMap; }                         \
    const AFX_MSGMAP *theClass::GetMessageMap() const { return &theClass::messageMap; }                                \
    AFX_COMDAT AFX_DATADEF const AFX_MSGMAP theClass::messageMap = {&theClass::_GetBaseMessageMap,                     \
                                                                    &theClass::_messageEntries[0]};                    \
    AFX_COMDAT const AFX_MSGMAP_ENTRY theClass::_messageEntries[] = {

// The entries the control panel's maps use (ON_BN_CLICKED and ON_CBN_SELCHANGE
// are ON_CONTROL).
#undef ON_COMMAND
#define ON_COMMAND(id, memberFxn)                                                                                      \
    {WM_COMMAND, CN_COMMAND, (WORD)id, (WORD)id, AfxSig_vv, (AFX_PMSG)&MESSAGE_MAP_CLASS::memberFxn},
#undef ON_CONTROL
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                                         \
    {WM_COMMAND, (WORD)wNotifyCode, (WORD)id, (WORD)id, AfxSig_vv, (AFX_PMSG)&MESSAGE_MAP_CLASS::memberFxn},
#undef ON_WM_CTLCOLOR
#define ON_WM_CTLCOLOR()                                                                                               \
    {WM_CTLCOLOR,                                                                                                      \
     0,                                                                                                                \
     0,                                                                                                                \
     0,                                                                                                                \
     AfxSig_hDWw,                                                                                                      \
     (AFX_PMSG)(AFX_PMSGW)(HBRUSH(AFX_MSG_CALL CWnd::*)(CDC *, CWnd *, UINT)) & MESSAGE_MAP_CLASS::OnCtlColor},

#endif
